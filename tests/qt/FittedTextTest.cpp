#include "forms/qt/FittedText.h"

#include "QtWorld.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace quill::testing {
namespace {

using forms::qt::fitLine;
using forms::qt::fitWrapped;
using forms::qt::kSmallestFittedPixelSize;

QFont systemFont(int pixelSize) {
    offscreenApplication();
    QFont font(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    font.setPixelSize(pixelSize);
    return font;
}

int advance(const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text);
}

TEST(FittedTextTest, ALineThatFitsKeepsItsFontAndText) {
    const QFont font = systemFont(11);
    const QString text = "Cancel";
    const auto fitted = fitLine(font, text, advance(font, text));
    EXPECT_EQ(fitted.font.pixelSize(), 11);
    EXPECT_EQ(fitted.text, text);
}

TEST(FittedTextTest, ALineTooWideTakesTheLargestSmallerSizeThatFits) {
    const QFont font = systemFont(11);
    const QString text = "Reload news every:";
    for (const int room :
         {advance(font, text) - 1, advance(font, text) * 9 / 10, advance(font, text) * 3 / 4}) {
        const auto fitted = fitLine(font, text, room);
        EXPECT_EQ(fitted.text, text) << "whole, at room " << room;
        const int size = fitted.font.pixelSize();
        EXPECT_LT(size, 11);
        EXPECT_GE(size, kSmallestFittedPixelSize);
        EXPECT_LE(advance(fitted.font, text), room);
        EXPECT_GT(advance(systemFont(size + 1), text), room) << "one size larger would not fit";
        EXPECT_EQ(fitted.font.family(), font.family());
    }
}

TEST(FittedTextTest, BelowTheSmallestSizeTheLineIsElided) {
    QFont font = systemFont(11);
    font.setUnderline(true);
    const QString text = "To learn more about adding news to this list please click this link";
    const int room = advance(systemFont(kSmallestFittedPixelSize), text) / 2;
    const auto fitted = fitLine(font, text, room);
    EXPECT_EQ(fitted.font.pixelSize(), kSmallestFittedPixelSize);
    EXPECT_TRUE(fitted.font.underline()) << "only the size changes";
    EXPECT_TRUE(fitted.text.endsWith(QChar(0x2026))) << fitted.text.toStdString();
    EXPECT_TRUE(text.startsWith(fitted.text.chopped(1)));
    EXPECT_LE(advance(fitted.font, fitted.text), room);

    // A font already smaller than that is not made larger.
    const auto tiny = fitLine(systemFont(6), text, room / 4);
    EXPECT_EQ(tiny.font.pixelSize(), 6);
    EXPECT_TRUE(tiny.text.endsWith(QChar(0x2026)));
}

TEST(FittedTextTest, WrappedTextShrinksUntilAllItsLinesShow) {
    const QFont font = systemFont(11);
    const QString text = "bottom of the screen, or the top";
    const int lines = QFontMetrics(font).lineSpacing() * 2;
    const QSize roomy(advance(font, text) / 2 + 20, lines);
    EXPECT_EQ(fitWrapped(font, text, roomy).pixelSize(), 11) << "two lines show";

    // A box that the text fills at 9 pixels, wrapped at half its width.
    const QSize narrow = QFontMetrics(systemFont(9))
                             .boundingRect(QRect(0, 0, advance(systemFont(9), text) / 2 + 10, 100),
                                           Qt::TextWordWrap, text)
                             .size();
    const auto wrapped = [&](const QFont& f) {
        return QFontMetrics(f).boundingRect(QRect(QPoint(0, 0), narrow), Qt::TextWordWrap, text);
    };
    ASSERT_GT(wrapped(font).height(), narrow.height()) << "too tall at 11 pixels";
    const QFont smaller = fitWrapped(font, text, narrow);
    EXPECT_LT(smaller.pixelSize(), 11);
    EXPECT_GE(smaller.pixelSize(), 9);
    EXPECT_LE(wrapped(smaller).height(), narrow.height());
    EXPECT_LE(wrapped(smaller).width(), narrow.width());
}

} // namespace
} // namespace quill::testing
