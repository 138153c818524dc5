#include <QWidget>
#include <gtest/gtest.h>
TEST(Smoke, WidgetCreates) { QWidget w; w.show(); EXPECT_TRUE(w.isVisible()); }
