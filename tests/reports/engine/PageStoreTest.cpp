// The page store: pages past the memory budget go to a nameless temporary file in a private
// folder and come back as they were written; the page count is written in once it is known.
// The text sink: a run's text written page by page gives what the pages kept whole give.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>
#include <utility>

#include "platform/Error.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/TestReports.h"
#include "reports/engine/TextDump.h"
#include "reports/engine/TextSink.h"
#include "support/TempDir.h"

namespace tarvel::test {
namespace {

/// A frame of three styles: a text, a line and a page-count field.
PageFrame Frame() {
  PageFrame frame;
  frame.title = QStringLiteral("rptStore");
  frame.fonts = {FontSpec{}};
  frame.styles = {ItemStyle{.control = QStringLiteral("txtPO"),
                            .kind = ControlKind::Field,
                            .box = QRect(0, 0, 1000, 250),
                            .font = 0},
                  ItemStyle{.control = QStringLiteral("Line1"),
                            .kind = ControlKind::Line,
                            .box = QRect(0, 240, 9000, 0),
                            .lineWidth = 15},
                  ItemStyle{.control = QStringLiteral("txtPages"),
                            .kind = ControlKind::Field,
                            .box = QRect(8000, 0, 1000, 250),
                            .font = 0,
                            .pageCount = true}};
  return frame;
}

/// Page `n`: n + 1 bands of two texts (one of them empty on every third band) and a line, with
/// Chinese, ASCII and a character outside the basic plane.
Page MakePage(int n, bool withPageCount = false) {
  Page page;
  for (int b = 0; b <= n; ++b) {
    const auto top = static_cast<std::int32_t>(400 + b * 300);
    PageBand band{SectionKind::Detail,
                  top,
                  300,
                  static_cast<std::uint32_t>(page.texts.size()),
                  0,
                  static_cast<std::uint32_t>(page.lines.size()),
                  1};
    const QString texts[] = {QStringLiteral("工單%1-%2").arg(n).arg(b),
                             b % 3 == 0 ? QString() : QStringLiteral("𠀋 x%1").arg(b)};
    for (const QString& text : texts) {
      page.texts.push_back({0, top, static_cast<std::uint32_t>(page.chars.size()),
                            static_cast<std::uint32_t>(text.size())});
      page.chars += text;
      ++band.textCount;
    }
    page.lines.push_back({1, top});
    page.bands.push_back(band);
  }
  if (withPageCount)
    page.texts.push_back({2, 400, static_cast<std::uint32_t>(page.chars.size()), 0});
  return page;
}

TEST(PageStore, PagesPastTheBudgetComeBackFromTheFileAsTheyWereWritten) {
  TempDir dir;
  const QString folder = dir.File(QStringLiteral("pages"));
  std::vector<Page> written;
  for (int n = 0; n < 40; ++n)
    written.push_back(MakePage(n % 7));
  // Room for about three pages: the first stay in memory, every later one goes to the file.
  const std::size_t budget = written[0].HeapBytes() * 3 + written[1].HeapBytes() * 2;
  {
    PageStore store(budget, folder);
    store.Begin(Frame());
    for (const Page& page : written) {
      Page copy = page;
      store.Add(std::move(copy));
    }
    store.End(static_cast<int>(written.size()));
    EXPECT_TRUE(store.Complete());
    ASSERT_EQ(store.PageCount(), 40);
    EXPECT_GE(store.PagesInMemory(), 1);
    EXPECT_GT(store.PagesOnFile(), 30);
    EXPECT_LE(store.MemoryBytes(), budget);
    EXPECT_GT(store.FileBytes(), 0u);
    EXPECT_EQ(store.Frame().title, QStringLiteral("rptStore"));
    // Read in any order, the same page twice, and back and forth between memory and file.
    for (int index : {39, 0, 17, 17, 2, 3, 38, 1, 20})
      EXPECT_TRUE(store.PageAt(index) == written[static_cast<size_t>(index)]) << index;
    EXPECT_THROW(store.PageAt(40), Error);
    EXPECT_THROW(store.PageAt(-1), Error);
    // Nameless: the folder shows nothing, yet the store holds a file open in it.
    EXPECT_TRUE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_EQ(OpenFilesIn(folder), 1);
    EXPECT_EQ(QFileInfo(folder).permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              0);
  }
  EXPECT_EQ(OpenFilesIn(folder), 0) << "the file goes with the store";
}

TEST(PageStore, WithinTheBudgetNoFileIsMadeAndPagesReadWhileTheRunGoesOn) {
  TempDir dir;
  const QString folder = dir.File(QStringLiteral("pages"));
  PageStore store(PageStore::kDefaultBudget, folder);
  store.Begin(Frame());
  for (int n = 0; n < 5; ++n) {
    store.Add(MakePage(n));
    EXPECT_TRUE(store.PageAt(n) == MakePage(n)) << n;
    EXPECT_FALSE(store.Complete());
  }
  EXPECT_EQ(store.PagesOnFile(), 0);
  EXPECT_FALSE(QFileInfo::exists(folder)) << "the folder is made only when a page needs it";

  // A page written and not yet flushed is read back as well, while more follow.
  PageStore small(1, folder);
  small.Begin(Frame());
  for (int n = 0; n < 5; ++n) {
    small.Add(MakePage(n));
    EXPECT_TRUE(small.PageAt(n) == MakePage(n)) << n;
    EXPECT_TRUE(small.PageAt(0) == MakePage(0));
  }
  EXPECT_EQ(small.PagesOnFile(), 5);
}

TEST(PageStore, ThePageCountIsWrittenIntoMemoryAndFilePagesOnceKnown) {
  TempDir dir;
  PageStore store(MakePage(0, true).HeapBytes() * 2, dir.File(QStringLiteral("pages")));
  store.Begin(Frame());
  for (int n = 0; n < 6; ++n)
    store.Add(MakePage(0, true));
  ASSERT_GT(store.PagesOnFile(), 0);
  ASSERT_GT(store.PagesInMemory(), 0);
  const auto countText = [&](int index) {
    const Page& page = store.PageAt(index);
    return page.Text(page.texts.back()).toString();
  };
  EXPECT_EQ(countText(5), QString()) << "not known while the run goes on";
  const Page before = store.PageAt(5);  // read back before End: its copy in the read slot
  store.End(6);
  for (int index : {0, 5, 3, 5})
    EXPECT_EQ(countText(index), QStringLiteral("6")) << index;
  Page expected = MakePage(0, true);
  FillPageCount(Frame(), expected, 6);
  EXPECT_TRUE(store.PageAt(5) == expected);
  EXPECT_EQ(before.Text(before.texts.back()), QString());
}

/// A folder "pages" in `dir` that is a link to the folder "elsewhere" beside it: no folder of the
/// user's own. Returns {the link, where it leads}.
std::pair<QString, QString> LinkedFolder(const TempDir& dir) {
  const QString elsewhere = dir.File(QStringLiteral("elsewhere"));
  const QString link = dir.File(QStringLiteral("pages"));
  EXPECT_TRUE(QDir().mkpath(elsewhere));
  EXPECT_TRUE(QFile::link(elsewhere, link));
  return {link, elsewhere};
}

TEST(PageStore, AFolderThatIsNotTheUsersOwnIsNotUsed) {
  TempDir dir;
  const auto [link, elsewhere] = LinkedFolder(dir);
  PageStore store(1, link);
  store.Begin(Frame());
  try {
    store.Add(MakePage(1));
    FAIL() << "a link was followed";
  } catch (const Error& error) {
    EXPECT_TRUE(error.Description().contains(link)) << error.Description().toStdString();
  }
  EXPECT_EQ(OpenFilesIn(elsewhere), 0);
}

/// The text `sink` writes for the pages made by MakePage(n % 7, withPageCount), n < `count`, and
/// the text DumpText gives for the same pages kept whole.
std::pair<QByteArray, QByteArray> SinkAndDump(TextSink& sink, int count, bool withPageCount) {
  PageFrame frame = Frame();
  if (!withPageCount) frame.styles.pop_back();
  PageModelSink whole;
  sink.Begin(frame);
  whole.Begin(frame);
  for (int n = 0; n < count; ++n) {
    sink.Add(MakePage(n % 7, withPageCount));
    whole.Add(MakePage(n % 7, withPageCount));
  }
  sink.End(count);
  whole.End(count);
  QBuffer written;
  written.open(QIODevice::WriteOnly);
  sink.WriteTo(written);
  return {written.data(), DumpText(whole.Take()).toUtf8()};
}

TEST(TextSink, WritesWhatThePagesKeptWholeGiveFromMemoryFileOrStore) {
  TempDir dir;
  const QString folder = dir.File(QStringLiteral("pages"));
  const struct {
    const char* what;
    std::size_t budget;
    bool withPageCount;
    bool onFile;
  } cases[] = {
      {"all in memory", PageStore::kDefaultBudget, false, false},
      {"past a budget of 3,000 bytes, the rest from the file", 3000, false, true},
      {"nothing in memory", 0, false, true},
      {"pages showing the page count wait in a store", 3000, true, false},
  };
  for (const auto& c : cases) {
    TextSink sink(c.budget, folder);
    const auto [written, dumped] = SinkAndDump(sink, 300, c.withPageCount);
    EXPECT_EQ(written, dumped) << c.what;
    EXPECT_EQ(sink.PageCount(), 300) << c.what;
    EXPECT_LE(sink.MemoryBytes(), c.budget) << c.what;
    EXPECT_EQ(sink.FileBytes() > 0, c.onFile) << c.what;
    if (c.onFile) {
      EXPECT_EQ(OpenFilesIn(folder), 1) << c.what;
    }
  }
  EXPECT_EQ(OpenFilesIn(folder), 0) << "the spool goes with the sink";
  TextSink empty(PageStore::kDefaultBudget, folder);
  const auto [nothing, dumpedNothing] = SinkAndDump(empty, 0, false);
  EXPECT_EQ(nothing, dumpedNothing);
  EXPECT_TRUE(nothing.isEmpty());
}

TEST(TextSink, ASpoolThatCannotBeWrittenFailsTheRunNamingWhy) {
  TempDir dir;
  const auto [link, elsewhere] = LinkedFolder(dir);
  PageFrame frame = Frame();
  frame.styles.pop_back();
  TextSink sink(0, link);
  sink.Begin(frame);
  // The sink's thread finds it; the run hears of it at its next page or at its end.
  try {
    for (int n = 0; n < 50; ++n)
      sink.Add(MakePage(n % 7));
    sink.End(50);
    FAIL() << "a spool through a link was written";
  } catch (const Error& error) {
    EXPECT_TRUE(error.Description().contains(link)) << error.Description().toStdString();
  }
  EXPECT_EQ(OpenFilesIn(elsewhere), 0);
}

TEST(TextSink, EncodesTextAsQtDoesHalfPairsIncluded) {
  // Lone halves of a surrogate pair cannot be written as literals: spelled out as code units.
  const std::u16string cases[] = {
      u"",
      u"txtPO: 113120001",
      u"華成運動用品 é",
      u"𠀋 and 😀",
      {char16_t{0xD800}, u'a'},
      {u'a', char16_t{0xDC00}},
      {u'x', char16_t{0xD83D}},
      {char16_t{0xDE00}, char16_t{0xD83D}},
      {char16_t{0x7F}, char16_t{0x80}, char16_t{0x7FF}, char16_t{0x800}, char16_t{0xFFFF}}};
  for (const std::u16string& text : cases) {
    const QString q = QString::fromStdU16String(text);
    std::string out = "kept:";
    AppendUtf8(out, q);
    EXPECT_EQ(QByteArray::fromStdString(out), "kept:" + q.toUtf8()) << q.toStdString();
  }
}

}  // namespace
}  // namespace tarvel::test
