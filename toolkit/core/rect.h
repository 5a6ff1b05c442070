#pragma once
// CRect, CPoint and CSize: RECT, POINT and SIZE with the few operations the windows use.

#include <algorithm>

#include "toolkit/core/win_types.h"

class CRect : public RECT {
 public:
  CRect() = default;
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& r) : RECT(r) {}  // NOLINT

  int GetWidth() const { return right - left; }
  int GetHeight() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  void Offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  void Deflate(int l, int t, int r, int b) {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
  }
  // Points on the left and top edges are inside, those on the right and bottom edges are not.
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  CRect Intersect(const CRect& o) const {
    CRect r(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom));
    if (r.IsEmpty()) return CRect();
    return r;
  }
  friend bool operator==(const CRect& a, const CRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
};

class CPoint : public POINT {
 public:
  CPoint() = default;
  CPoint(int px, int py) {
    x = px;
    y = py;
  }
};

class CSize : public SIZE {
 public:
  CSize() = default;
  CSize(int w, int h) {
    cx = w;
    cy = h;
  }
};
