#include "reports/engine/TextDump.h"

#include <QTextStream>

namespace tarvel {

QString DumpText(const PageModel& model) {
  QString out;
  QTextStream stream(&out);
  const int pageCount = model.PageCount();
  for (int index = 0; index < pageCount; ++index) {
    const Page& page = model.pages[static_cast<size_t>(index)];
    stream << "=== page " << index + 1 << '/' << pageCount << " ===\n";
    for (const PageBand& band : page.bands) {
      stream << "-- " << SectionName(band.section) << " top=" << band.top
             << " height=" << band.height << '\n';
      for (std::uint32_t i = band.firstText; i < band.firstText + band.textCount; ++i) {
        const PageText& text = page.texts[i];
        stream << model.styles[text.style].control << ": " << page.Text(text) << '\n';
      }
    }
  }
  return out;
}

}  // namespace tarvel
