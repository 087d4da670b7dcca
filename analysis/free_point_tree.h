// Nearest free point among the orbit points, for chaining closed curves.
//
// A static 2-d tree over a set of points (given by index into two coordinate
// arrays). Points start free and are removed one by one; a query returns the
// free point that minimises (squared distance, key) lexicographically among
// those with squared distance below a limit and accepted by a filter. The
// squared distance is dx * dx + dy * dy of the coordinate differences, so a
// query finds exactly the point a full scan with the same rule finds.
//
// Thread-safety: none; one chaining at a time.
#pragma once

#include <vector>

namespace analysis {

class FreePointTree {
public:
    // `points`: indices into re/im of the points to hold (finite coordinates).
    FreePointTree(const double* re, const double* im, std::vector<int> points);

    void remove(int point);
    bool isFree(int point) const { return point >= 0 && point < static_cast<int>(free_.size()) && free_[point]; }

    // The free point p != exclude with accept(p), squared distance d < limit2
    // from (x, y), smallest d and then smallest key(p); -1 when none.
    // `bestD` receives its squared distance.
    template <class Accept, class Key>
    int nearest(double x, double y, double limit2, int exclude, const Accept& accept, const Key& key,
                double& bestD) const;

private:
    struct Node {
        double minX, maxX, minY, maxY;
        int begin, end;      // range in order_
        int left, right;     // children, -1 for a leaf
        int parent;
        int alive;           // free points below
    };
    static constexpr int LEAF_SIZE = 8;

    const double* re_;
    const double* im_;
    std::vector<int> order_;
    std::vector<Node> nodes_;
    std::vector<int> leafOf_;  // per point index: its leaf, -1 when not held
    std::vector<char> free_;

    int build(int begin, int end, int parent);
};

template <class Accept, class Key>
int FreePointTree::nearest(double x, double y, double limit2, int exclude, const Accept& accept, const Key& key,
                           double& bestD) const {
    int best = -1;
    bestD = limit2;
    if (nodes_.empty()) return best;
    int stack[128];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const Node& n = nodes_[stack[--top]];
        if (n.alive == 0) continue;
        const double ox = x < n.minX ? n.minX - x : (x > n.maxX ? x - n.maxX : 0.0);
        const double oy = y < n.minY ? n.minY - y : (y > n.maxY ? y - n.maxY : 0.0);
        const double boxD = ox * ox + oy * oy;
        // Points in the box are at least boxD away: an equal distance may
        // still win on its key, so only a strictly larger bound prunes.
        if (boxD > bestD || (best < 0 && boxD >= limit2)) continue;
        if (n.left < 0) {
            for (int k = n.begin; k < n.end; ++k) {
                const int p = order_[k];
                if (p == exclude || !free_[p] || !accept(p)) continue;
                const double dx = re_[p] - x, dy = im_[p] - y;
                const double d = dx * dx + dy * dy;
                if (!(d < limit2)) continue;
                if (best < 0 || d < bestD || (d == bestD && key(p) < key(best))) {
                    best = p;
                    bestD = d;
                }
            }
            continue;
        }
        // Nearer child last, so it is searched first.
        const Node& l = nodes_[n.left];
        const double lx = x < l.minX ? l.minX - x : (x > l.maxX ? x - l.maxX : 0.0);
        const double ly = y < l.minY ? l.minY - y : (y > l.maxY ? y - l.maxY : 0.0);
        const Node& r = nodes_[n.right];
        const double rx = x < r.minX ? r.minX - x : (x > r.maxX ? x - r.maxX : 0.0);
        const double ry = y < r.minY ? r.minY - y : (y > r.maxY ? y - r.maxY : 0.0);
        if (lx * lx + ly * ly <= rx * rx + ry * ry) {
            stack[top++] = n.right;
            stack[top++] = n.left;
        } else {
            stack[top++] = n.left;
            stack[top++] = n.right;
        }
    }
    return best;
}

}  // namespace analysis
