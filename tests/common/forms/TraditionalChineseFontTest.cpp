// Taiwan's forms of the Han characters in every window, whatever face the desktop falls back to.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>

#include "common/forms/TraditionalChineseFont.h"

namespace tarvel {
namespace {

constexpr int kPixels = 64;

/// The dark pixels of `image`, cropped to their bounding box: the glyph's shape, wherever it
/// was drawn.
QImage Ink(const QImage& image) {
  const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
  QRect box;
  for (int y = 0; y < gray.height(); ++y)
    for (int x = 0; x < gray.width(); ++x)
      if (qGray(gray.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  QImage ink(box.size(), QImage::Format_Mono);
  for (int y = 0; y < box.height(); ++y)
    for (int x = 0; x < box.width(); ++x)
      ink.setPixel(x, y, qGray(gray.pixel(box.x() + x, box.y() + y)) < 128 ? 1 : 0);
  return ink;
}

QImage Drawn(const QString& face, const QString& text) {
  QFont font(face);
  font.setPixelSize(kPixels);
  QImage image(kPixels * 2, kPixels * 2, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(image.rect(), Qt::AlignCenter, text);
  painter.end();
  return Ink(image);
}

/// The share of pixels in which two glyph shapes differ (1 when their sizes differ).
double Difference(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return 1;
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      differing += a.pixelIndex(x, y) != b.pixelIndex(x, y);
  return double(differing) / (a.width() * a.height());
}

TEST(TraditionalChineseFont, WindowsDrawHanCharactersInTaiwansForms) {
  const QString taiwan = QStringLiteral("AR PL UMing TW");
  // What fontconfig falls back to on a Debian desktop with the packages of this program: its
  // 戶 has the dot on top of the mainland's form.
  const QString fallback = QStringLiteral("AR PL UKai CN");
  ASSERT_TRUE(QFontDatabase::hasFamily(taiwan)) << "fonts-arphic-uming is one of the packages";
  const QString 戶 = QStringLiteral("戶");
  // The comparison tells the two apart.
  ASSERT_GT(Difference(Drawn(taiwan, 戶), Drawn(fallback, 戶)), 0.05);

  const QFont desktop = QApplication::font();
  UseTraditionalChineseFont();
  QFont large;
  large.setPixelSize(kPixels);
  const auto windowInk = [&] {
    QLabel window(戶);
    window.setFont(large);
    window.setStyleSheet(QStringLiteral("background: white; color: black"));
    window.resize(kPixels * 2, kPixels * 2);
    window.show();
    return Ink(window.grab().toImage());
  };
  QString expected;
  for (const QString& face : TraditionalChineseFaces())
    if (expected.isEmpty() && QFontDatabase::hasFamily(face)) expected = face;
  EXPECT_LT(Difference(windowInk(), Drawn(expected, 戶)), 0.02) << expected.toStdString();
  QApplication::setFont(desktop);

  // A desktop whose own face draws Han characters gives way to it; Latin text of a desktop face
  // without Han stays in that face.
  EXPECT_EQ(TraditionalChineseFont(QFont(fallback)).families().front(), expected);
  EXPECT_EQ(TraditionalChineseFont(QFont(QStringLiteral("DejaVu Sans"))).families(),
            (QStringList{"DejaVu Sans", expected}));
  EXPECT_EQ(TraditionalChineseFont(QFont(QStringLiteral("Sans Serif"))).families(),
            (QStringList{"DejaVu Sans", expected}))
      << "an alias as the desktop's family would lose to the Traditional face";
}

}  // namespace
}  // namespace tarvel
