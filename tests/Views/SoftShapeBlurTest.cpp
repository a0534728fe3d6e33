// The soft shape's blur on its own: energy kept, spread like a Gaussian, no drift.
#include "Views/Common/SoftShape.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

namespace quorvelle {
namespace {

TEST(SoftShapeBlur, SpreadsLikeAGaussianOfTheGivenDeviation) {
    for (const double sigma : {2.0, 4.0, 8.0}) {
        SCOPED_TRACE(sigma);
        // A whole line, so that rounding of single pixels does not drown the measurement.
        QImage image(121, 121, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        for (int y = 0; y < 121; ++y)
            image.setPixel(60, y, qRgba(255, 255, 255, 255));
        SoftShape::blurImage(image, sigma);
        // Across the line: the spread's standard deviation is sigma, its centre unmoved, nothing lost.
        double total = 0, first = 0, second = 0;
        for (int x = 0; x < 121; ++x) {
            const double a = qAlpha(image.pixel(x, 60));
            total += a;
            first += x * a;
            second += x * x * a;
        }
        const double mean = first / total;
        EXPECT_NEAR(mean, 60, 0.05);
        EXPECT_NEAR(std::sqrt(second / total - mean * mean), sigma, sigma * 0.2);
        EXPECT_NEAR(total, 255, 255 * 0.03);
    }
}

TEST(SoftShapeBlur, KeepsAFlatColourFlatUpToTheBorders) {
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(200, 100, 50, 255));
    SoftShape::blurImage(image, 3);
    EXPECT_EQ(image.pixel(0, 0), qRgba(200, 100, 50, 255));
}

}  // namespace
}  // namespace quorvelle
