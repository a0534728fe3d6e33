// The soft shape's blur on its own: energy kept, spread like a Gaussian, no drift.
#include "Views/Common/SoftShape.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>

namespace quorvelle {
namespace {

QImage dot(int size, QPoint at) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setPixel(at, qRgba(255, 255, 255, 255));
    return image;
}

double alphaSum(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y));
    return sum;
}

TEST(SoftShapeBlur, SpreadsLikeAGaussianOfTheGivenDeviation) {
    const struct { double sigma; } cases[] = {{2}, {4}, {8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sigma);
        // A wide block, so that rounding of single pixels does not drown the measurement.
        QImage image(121, 121, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        for (int y = 0; y < 121; ++y)
            image.setPixel(60, y, qRgba(255, 255, 255, 255));
        const double before = alphaSum(image);
        SoftShape::blurImage(image, c.sigma);
        // Across the line: the spread's standard deviation is sigma, its centre unmoved.
        double total = 0, mean = 0, variance = 0;
        for (int x = 0; x < 121; ++x)
            total += qAlpha(image.pixel(x, 60));
        for (int x = 0; x < 121; ++x)
            mean += x * qAlpha(image.pixel(x, 60)) / total;
        for (int x = 0; x < 121; ++x)
            variance += (x - mean) * (x - mean) * qAlpha(image.pixel(x, 60)) / total;
        EXPECT_NEAR(mean, 60, 0.05);
        EXPECT_NEAR(std::sqrt(variance), c.sigma, c.sigma * 0.2);
        // Nothing lost or gained away from the edges.
        EXPECT_NEAR(alphaSum(image), before, before * 0.03);
    }
}

TEST(SoftShapeBlur, KeepsColourAndLeavesNoBlurUnchanged) {
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(200, 100, 50, 255));
    SoftShape::blurImage(image, 3);
    // A flat image stays flat, right up to the borders.
    EXPECT_EQ(image.pixel(0, 0), qRgba(200, 100, 50, 255));
    EXPECT_EQ(image.pixel(39, 20), qRgba(200, 100, 50, 255));

    QImage untouched = dot(9, {4, 4});
    SoftShape::blurImage(untouched, 0);
    EXPECT_EQ(untouched, dot(9, {4, 4}));
}

}  // namespace
}  // namespace quorvelle
