// Lane kernels: the pixels of one column iterated several at a time, one per
// SIMD lane (2 with SSE, 4 with AVX2, 8 with AVX-512, picked at run time).
//
// Each lane performs exactly the operations of the scalar kernel
// (render_kernels.cpp) in the same order: the same Horner recurrence, the
// same quotient, the same tests. The file is compiled without fused
// multiply-adds, so every lane value, and so every count, code and
// statistic, is bit for bit the scalar kernel's. Lanes work in groups of one vector,
// several groups taking turns so that their dependent operations overlap.
// A lane whose pixel has escaped, been captured or reached the loop count
// retires: its result and statistics are taken through the scalar formulas,
// and the lane takes the next pixel of the column (Julia: once every lane
// of its group is done; Mandelbrot: at once).
//
// Kernels exist for Julia pictures whose component table holds valid cycles
// only (polynomial and rational maps, and the z^2 + a0 fast path) and for
// Mandelbrot pictures with at least one selected critical point (every
// family and fast path). Everything else stays with the scalar kernels.
//
// Stopping: `abort` is polled before every round of steps; pixels in flight then
// get (0, 0), and for a Mandelbrot pixel 0 is recorded for code 0, as the
// scalar kernel does.
//
// Thread-safety: like the scalar kernels; the statistics are the caller's.
#pragma once

#include <atomic>

#include "viewer/colour/colour_model.h"
#include "viewer/core/render_kernels.h"
#include "viewer/core/render_scene.h"

namespace render {

// Whether a lane kernel exists for the picture.
bool lanesApply(const RenderScene& scene);

// renderColumn's contract (render_kernels.h), through the lane kernels.
// Only for scenes where lanesApply() holds.
int renderColumnLanes(const RenderScene& scene, int x, const int* ys, int count, PixelResult* out,
                      colour::RenderStatistics& statistics, const std::atomic<bool>& abort);

// The instruction set the lane kernels run on, e.g. "AVX3" or "AVX2".
const char* laneTargetName();

}  // namespace render
