#include "app/ReadoutBox.h"

#include <QRect>
#include <gtest/gtest.h>

namespace kv {
namespace {

// The box stands beside the pointer and never covers it, also where it must
// turn to the other side at the edges of the view.
TEST(ReadoutBox, NeverCoversThePointer) {
    const QRect area(0, 0, 800, 400);
    const QSize box(150, 60);
    for (const QPoint pointer :
         {QPoint(10, 10), QPoint(790, 10), QPoint(790, 395), QPoint(400, 395), QPoint(400, 200)}) {
        const QRect placed = ReadoutBoxRect(area, pointer, box);
        EXPECT_FALSE(placed.adjusted(-4, -4, 4, 4).contains(pointer)) << pointer.x() << pointer.y();
        EXPECT_TRUE(area.contains(placed)) << pointer.x() << pointer.y();
    }
}

} // namespace
} // namespace kv
