#include "analysis/free_point_tree.h"

#include <algorithm>

namespace analysis {

FreePointTree::FreePointTree(const double* re, const double* im, std::vector<int> points)
    : re_(re), im_(im), order_(std::move(points)) {
    int maxIndex = -1;
    for (int p : order_) maxIndex = std::max(maxIndex, p);
    leafOf_.assign(maxIndex + 1, -1);
    free_.assign(maxIndex + 1, 0);
    for (int p : order_) free_[p] = 1;
    if (!order_.empty()) {
        nodes_.reserve(4 * order_.size() / LEAF_SIZE + 4);
        build(0, static_cast<int>(order_.size()), -1);
    }
}

int FreePointTree::build(int begin, int end, int parent) {
    const int index = static_cast<int>(nodes_.size());
    nodes_.push_back(Node{});
    Node n{};
    n.begin = begin;
    n.end = end;
    n.parent = parent;
    n.left = n.right = -1;
    n.alive = end - begin;
    n.minX = n.maxX = re_[order_[begin]];
    n.minY = n.maxY = im_[order_[begin]];
    for (int k = begin + 1; k < end; ++k) {
        const int p = order_[k];
        n.minX = std::min(n.minX, re_[p]);
        n.maxX = std::max(n.maxX, re_[p]);
        n.minY = std::min(n.minY, im_[p]);
        n.maxY = std::max(n.maxY, im_[p]);
    }
    if (end - begin <= LEAF_SIZE || (n.minX == n.maxX && n.minY == n.maxY)) {
        for (int k = begin; k < end; ++k) leafOf_[order_[k]] = index;
        nodes_[index] = n;
        return index;
    }
    const bool alongX = n.maxX - n.minX >= n.maxY - n.minY;
    const int mid = begin + (end - begin) / 2;
    std::nth_element(order_.begin() + begin, order_.begin() + mid, order_.begin() + end, [&](int a, int b) {
        return alongX ? re_[a] < re_[b] : im_[a] < im_[b];
    });
    nodes_[index] = n;
    const int left = build(begin, mid, index);
    const int right = build(mid, end, index);
    nodes_[index].left = left;
    nodes_[index].right = right;
    return index;
}

void FreePointTree::remove(int point) {
    if (!isFree(point)) return;
    free_[point] = 0;
    for (int n = leafOf_[point]; n >= 0; n = nodes_[n].parent) --nodes_[n].alive;
}

}  // namespace analysis
