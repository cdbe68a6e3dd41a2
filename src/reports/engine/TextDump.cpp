#include "reports/engine/TextDump.h"

#include <QIODevice>

#include "platform/Error.h"

namespace tarvel {
namespace {

/// Text is handed to the device in pieces of about this many characters.
constexpr qsizetype kPiece = 64 * 1024;

void AppendPage(QString& out, const PageFrame& frame, const Page& page, int number, int count) {
  out += QStringLiteral("=== page ") + QString::number(number) + u'/' + QString::number(count) +
         QStringLiteral(" ===\n");
  for (const PageBand& band : page.bands) {
    out += QStringLiteral("-- ") + SectionName(band.section) + QStringLiteral(" top=") +
           QString::number(band.top) + QStringLiteral(" height=") + QString::number(band.height) +
           u'\n';
    for (std::uint32_t i = band.firstText; i < band.firstText + band.textCount; ++i) {
      const PageText& text = page.texts[i];
      out += frame.styles[text.style].control;
      out += QStringLiteral(": ");
      out += page.Text(text);
      out += u'\n';
    }
  }
}

}  // namespace

void WriteText(const PageSource& pages, QIODevice& device) {
  const int count = pages.PageCount();
  QString piece;
  piece.reserve(kPiece + kPiece / 4);
  const auto flush = [&] {
    const QByteArray bytes = piece.toUtf8();
    // A disk that fills up takes part of a write without a word; writing the rest says why.
    for (qint64 done = 0; done < bytes.size();) {
      const qint64 written = device.write(bytes.constData() + done, bytes.size() - done);
      if (written <= 0)
        throw Error(QStringLiteral("無法寫入報表文字：%1").arg(device.errorString()));
      done += written;
    }
    piece.clear();
  };
  for (int index = 0; index < count; ++index) {
    AppendPage(piece, pages.Frame(), pages.PageAt(index), index + 1, count);
    if (piece.size() >= kPiece) flush();
  }
  flush();
}

QString DumpText(const PageSource& pages) {
  QString out;
  const int count = pages.PageCount();
  for (int index = 0; index < count; ++index)
    AppendPage(out, pages.Frame(), pages.PageAt(index), index + 1, count);
  return out;
}

}  // namespace tarvel
