// The discovery pass walked in several ranges side by side gives what one
// walk gives: the same rows with the same numbers, log lines, flagged blocks
// (seen in the deleted-page pass's rows) and learned layouts, wherever pages,
// databases and write-ahead logs lie against the split points.

#include "scan/discovery_pass.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "fixtures/demo_image.h"
#include "fixtures/memory_source.h"
#include "fixtures/sqlite_db.h"
#include "platform/stop_flag.h"
#include "scan/recording_scan_view.h"
#include "scan/scan_texts.h"
#include "scan/tscan.h"

namespace orv {
namespace {

constexpr std::uint64_t kImageBlocks = 32;  // 2 MiB: two threads split it at 1 MiB
constexpr std::uint64_t kSplit = kImageBlocks / 2 * kScanBlockBytes;

// Records the progress of the discovery pass (up to the statistics step).
class GaugeView : public RecordingScanView {
 public:
  void addLogLine(const LogLine& line) override {
    discoveryEnded = discoveryEnded || line.description == scan_text::kStatistics;
    RecordingScanView::addLogLine(line);
  }
  void setGaugePosition(std::int64_t position) override {
    if (!discoveryEnded) gauge.push_back(position);
  }
  std::vector<std::int64_t> gauge;
  bool discoveryEnded = false;
};

struct ScanSnapshot {
  std::vector<std::vector<TableRow>> tables;
  std::vector<std::string> log;
  std::string status;
  std::vector<std::int64_t> gauge;
};

ScanSnapshot ScanWith(const std::vector<std::uint8_t>& image, LayoutMode layouts, unsigned threads,
                      BlockJudging judging = BlockJudging::kWhileWaiting) {
  ClearStop();
  ScanSettings settings{"image", ScanKind::kContactsCallsSms, layouts};
  settings.discoveryThreads = threads;
  settings.blockJudging = judging;
  ResultTables tables;
  GaugeView view;
  Tscan scan(settings, tables, view, std::make_unique<fixtures::MemorySource>(image));
  EXPECT_EQ(scan.run(), ScanOutcome::kCompleted);
  ScanSnapshot snapshot;
  for (const ResultTable table :
       {ResultTable::kDbResult, ResultTable::kFuck1, ResultTable::kFuck2, ResultTable::kFuck3})
    snapshot.tables.push_back(tables.rows(table));
  snapshot.log = view.log;
  snapshot.status = view.status[1];
  snapshot.gauge = view.gauge;
  return snapshot;
}

// Scans `image` with one thread and with two and three, in both layout
// modes, and expects the same findings; the progress of several threads
// never goes back and ends where one thread's ends.
void ExpectSameWithThreads(const std::vector<std::uint8_t>& image) {
  for (const LayoutMode layouts : {LayoutMode::kSpec, LayoutMode::kLearned}) {
    const ScanSnapshot one = ScanWith(image, layouts, 1);
    for (const unsigned threads : {2u, 3u}) {
      SCOPED_TRACE("threads " + std::to_string(threads) + ", learned " +
                   std::to_string(layouts == LayoutMode::kLearned));
      const ScanSnapshot several = ScanWith(image, layouts, threads);
      EXPECT_EQ(several.tables, one.tables);
      EXPECT_EQ(several.log, one.log);
      EXPECT_EQ(several.status, one.status);
      EXPECT_TRUE(std::is_sorted(several.gauge.begin(), several.gauge.end()));
      ASSERT_FALSE(several.gauge.empty());
      EXPECT_EQ(several.gauge.back(), one.gauge.back());
    }
  }
}

std::vector<std::uint64_t> ListedOffsets(const std::vector<TableRow>& dbResult) {
  std::vector<std::uint64_t> offsets;
  for (const TableRow& row : dbResult) offsets.push_back(std::stoull(row[db_result::kStartOffset]));
  return offsets;
}

struct SplitCase {
  const char* where;
  std::int64_t pageStart;  // of a listed page, from the split
};

class DiscoverySplitTest : public ::testing::TestWithParam<SplitCase> {};

// The demo image laid so that one of its listed pages starts where the case
// says: ending right before the split, across it, at the first range's last
// byte, on the split, right after it.
TEST_P(DiscoverySplitTest, SeveralThreadsFindWhatOneFinds) {
  const fixtures::DemoImage demo = fixtures::BuildDemoImage({});
  const std::vector<std::uint8_t>& bytes = demo.image.bytes;
  ASSERT_LT(bytes.size(), kSplit);
  const std::vector<std::uint64_t> listed =
      ListedOffsets(ScanWith(bytes, LayoutMode::kSpec, 1).tables[0]);
  ASSERT_FALSE(listed.empty());
  const std::uint64_t page = listed[listed.size() / 2];
  const std::uint64_t at = kSplit + GetParam().pageStart - page;
  std::vector<std::uint8_t> image(kImageBlocks * kScanBlockBytes, 0);
  ASSERT_LE(at + bytes.size(), image.size());
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));

  const std::vector<std::uint64_t> found =
      ListedOffsets(ScanWith(image, LayoutMode::kSpec, 2).tables[0]);
  EXPECT_NE(std::find(found.begin(), found.end(), kSplit + GetParam().pageStart), found.end());
  ExpectSameWithThreads(image);
}

INSTANTIATE_TEST_SUITE_P(PagesAroundTheSplit, DiscoverySplitTest,
                         ::testing::Values(SplitCase{"ends right before the split", -4096},
                                           SplitCase{"straddles the split", -2048},
                                           SplitCase{"starts at the first range's last byte", -1},
                                           SplitCase{"starts on the split", 0},
                                           SplitCase{"starts a byte after the split", 1},
                                           SplitCase{"starts a sector after the split", 512}),
                         [](const auto& info) {
                           std::string name;
                           for (const char c : std::string(info.param.where))
                             name += std::isalnum(c) ? c : '_';
                           return name;
                         });

// The deleted-page pass hands its blocks to workers in chunks of 128 blocks
// (8 MiB), chunk after chunk to each worker in turn: copies of the demo image
// that straddle two chunk borders, and one in a third chunk, give the same
// rows with one worker as with two and three.
TEST(DeletedPagePassWorkersTest, SeveralWorkersCarveWhatOneCarves) {
  constexpr std::uint64_t kChunkBytes = 128 * kScanBlockBytes;
  const fixtures::DemoImage demo = fixtures::BuildDemoImage({});
  const std::vector<std::uint8_t>& bytes = demo.image.bytes;
  std::vector<std::uint8_t> image(3 * kChunkBytes + 8 * kScanBlockBytes, 0);
  for (const std::uint64_t at :
       {kChunkBytes - bytes.size() / 2, 2 * kChunkBytes - 4096 - 7, 2 * kChunkBytes + 3 * 4096}) {
    ASSERT_LE(at + bytes.size(), image.size());
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
  }
  const ScanSnapshot one = ScanWith(image, LayoutMode::kSpec, 1);
  const auto& dbResult = one.tables[0];
  // Fragment rows (page types other than the leaf's) come from the deleted-page pass.
  EXPECT_TRUE(std::any_of(dbResult.begin(), dbResult.end(),
                          [](const TableRow& row) { return row[db_result::kPageType] != "0D"; }));
  ExpectSameWithThreads(image);
  // Blocks the discovery pass judged barren are not read again: the rows
  // are those of reading every block again.
  for (const LayoutMode layouts : {LayoutMode::kSpec, LayoutMode::kLearned}) {
    const ScanSnapshot everyBlock = ScanWith(image, layouts, 2, BlockJudging::kNone);
    for (const BlockJudging judging : {BlockJudging::kEvery, BlockJudging::kWhileWaiting}) {
      const ScanSnapshot judged = ScanWith(image, layouts, 2, judging);
      EXPECT_EQ(judged.tables, everyBlock.tables);
      EXPECT_EQ(judged.log, everyBlock.log);
      EXPECT_EQ(judged.status, everyBlock.status);
    }
  }
}

// A source as slow as a card: each read of a block or more takes a while.
// Counts the bytes read into `bytesRead`, which outlives it (the scan
// lets its source go when it ends).
class SlowSource : public fixtures::MemorySource {
 public:
  SlowSource(std::vector<std::uint8_t> bytes, std::atomic<std::uint64_t>& bytesRead)
      : MemorySource(std::move(bytes)), bytesRead_(bytesRead) {}
  std::size_t readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    if (length >= kScanBlockBytes) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    bytesRead_ += length;
    return MemorySource::readAt(offset, buffer, length);
  }

 private:
  std::atomic<std::uint64_t>& bytesRead_;
};

// The demo image, then blocks that hold an empty index page each: blocks
// the deleted-page pass would read again for nothing.
TEST(BlockJudgingTest, ASlowSourceIsReadOnceAndTheRowsStayTheSame) {
  constexpr std::uint64_t kBarrenBlocks = 48;
  std::vector<std::uint8_t> image = fixtures::BuildDemoImage({}).image.bytes;
  image.resize((image.size() / kScanBlockBytes + 1 + kBarrenBlocks) * kScanBlockBytes, 0);
  const std::uint8_t header[] = {0x02, 0, 0, 0, 1, 0x0B, 0xB8, 0, 0, 0, 0, 7, 0x0B, 0xB8};
  for (std::uint64_t block = 1; block <= kBarrenBlocks; ++block)
    std::copy(std::begin(header), std::end(header), image.end() - block * kScanBlockBytes);

  struct Run {
    std::vector<std::vector<TableRow>> tables;
    std::uint64_t bytesRead;
  };
  const auto scan = [&](BlockJudging judging) {
    ClearStop();
    ScanSettings settings{"image", ScanKind::kContactsCallsSms, LayoutMode::kSpec};
    settings.blockJudging = judging;
    ResultTables tables;
    RecordingScanView view;
    std::atomic<std::uint64_t> bytesRead = 0;
    EXPECT_EQ(Tscan(settings, tables, view, std::make_unique<SlowSource>(image, bytesRead)).run(),
              ScanOutcome::kCompleted);
    Run run{{}, bytesRead.load()};
    for (const ResultTable table :
         {ResultTable::kDbResult, ResultTable::kFuck1, ResultTable::kFuck2, ResultTable::kFuck3})
      run.tables.push_back(tables.rows(table));
    return run;
  };
  const Run everyBlockAgain = scan(BlockJudging::kNone);
  const Run whileWaiting = scan(BlockJudging::kWhileWaiting);
  EXPECT_EQ(whileWaiting.tables, everyBlockAgain.tables);
  EXPECT_GE(everyBlockAgain.bytesRead, image.size() + kBarrenBlocks * kScanBlockBytes);
  // The pass waited for every block, which left time to judge them all.
  EXPECT_LT(whileWaiting.bytesRead, image.size() + kBarrenBlocks * kScanBlockBytes / 2);
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A call log of 1 KiB pages (a size other than the one assumed where no
// header was seen) with many tables beside it, so that its schema fills
// pages after the first, and a write-ahead log of later calls, read while
// the database is open.
constexpr std::size_t kLogPageBytes = 1024;

std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>> CallLogAndWal() {
  const auto dir =
      std::filesystem::temp_directory_path() / ("orv_discovery_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto path = dir / "calllog.db";
  sqlite3* db = nullptr;
  sqlite3_open(path.string().c_str(), &db);
  auto exec = [&](const std::string& sql) {
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  };
  exec("PRAGMA page_size = " + std::to_string(kLogPageBytes));
  exec("PRAGMA journal_mode = WAL");
  exec("PRAGMA wal_autocheckpoint = 0");
  for (int t = 0; t < 40; ++t)
    exec("CREATE TABLE filler_" + std::to_string(t) +
         " (_id INTEGER PRIMARY KEY, some_long_column_name_of_an_app TEXT, another_one INTEGER)");
  // Short enough to lie whole on a 1 KiB page.
  exec(
      "CREATE TABLE calls (_id INTEGER PRIMARY KEY AUTOINCREMENT, number TEXT, presentation "
      "INTEGER, date INTEGER, duration INTEGER, type INTEGER, name TEXT)");
  exec("CREATE TABLE voicemail_status (_id INTEGER PRIMARY KEY, source_package TEXT)");
  auto insert = [&](int from, int to) {
    exec("BEGIN");
    for (int i = from; i < to; ++i)
      exec("INSERT INTO calls (_id, number, presentation, date, duration, type, name) VALUES (" +
           std::to_string(i + 1) + ", '1380013" + std::to_string(1000 + i) + "', 1, " +
           std::to_string(1546300800000LL + i * 60000LL) + ", 30, 2, 'Caller " + std::to_string(i) +
           "')");
    exec("COMMIT");
  };
  insert(0, 150);
  exec("PRAGMA wal_checkpoint(TRUNCATE)");
  insert(150, 300);
  exec("DELETE FROM calls WHERE _id % 7 = 0");
  auto files = std::make_pair(ReadFile(path), ReadFile(path.string() + "-wal"));
  sqlite3_close(db);
  std::filesystem::remove_all(dir);
  return files;
}

struct LearnedCase {
  const char* where;
  std::int64_t databaseStart;  // from the split
  std::int64_t walStart;       // from the split
};

class LearnedSplitTest : public ::testing::TestWithParam<LearnedCase> {};

// A database whose header lies in one range and whose schema and table pages
// lie in the next (their page size is known only from the earlier range), a
// write-ahead log whose frames run on across the split.
TEST_P(LearnedSplitTest, SeveralThreadsLearnWhatOneLearns) {
  const auto [file, wal] = CallLogAndWal();
  ASSERT_GT(file.size(), 16 * kLogPageBytes);
  ASSERT_GT(wal.size(), 4 * kLogPageBytes);
  std::vector<std::uint8_t> image(kImageBlocks * kScanBlockBytes, 0);
  for (const auto& [part, start] :
       {std::pair{&file, GetParam().databaseStart}, std::pair{&wal, GetParam().walStart}}) {
    const auto at = static_cast<std::ptrdiff_t>(static_cast<std::int64_t>(kSplit) + start);
    ASSERT_GE(at, 0);
    ASSERT_LE(static_cast<std::size_t>(at) + part->size(), image.size());
    std::copy(part->begin(), part->end(), image.begin() + at);
  }
  const ScanSnapshot one = ScanWith(image, LayoutMode::kLearned, 1);
  // The layouts came from the schema, and the log's frames were all read.
  const auto learnedFromSchema = std::count_if(one.log.begin(), one.log.end(), [](const auto& l) {
    return l.find("表calls") != std::string::npos && l.find("来源:数据库结构") != std::string::npos;
  });
  EXPECT_EQ(learnedFromSchema, 1) << ::testing::PrintToString(one.log);
  const std::size_t frames = (wal.size() - 32) / (24 + kLogPageBytes);
  const std::string walLine = "预写日志(WAL):偏移值为" +
                              std::to_string(kSplit + GetParam().walStart) +
                              ",帧数:" + std::to_string(frames);
  EXPECT_NE(std::find_if(one.log.begin(), one.log.end(),
                         [&](const auto& l) { return l.find(walLine) != std::string::npos; }),
            one.log.end());
  ExpectSameWithThreads(image);
}

INSTANTIATE_TEST_SUITE_P(DatabasesAroundTheSplit, LearnedSplitTest,
                         ::testing::Values(LearnedCase{"header in the first range", -512,
                                                       64 * 1024},
                                           LearnedCase{"header on the split", 0, 64 * 1024},
                                           LearnedCase{"header well before", -256 * 1024, -4096},
                                           LearnedCase{"log across the split", -512 * 1024, -1024}),
                         [](const auto& info) {
                           std::string name;
                           for (const char c : std::string(info.param.where))
                             name += std::isalnum(c) ? c : '_';
                           return name;
                         });

// Records what a pass passes on, in order.
class RecordingOutput : public DiscoveryOutput {
 public:
  void blockReached(std::uint64_t block) override { blocks.push_back(block); }
  void pageFound(const DiscoveredPage& page) override {
    events.push_back("found " + std::to_string(page.offset) + " " + page.labels + " " +
                     std::to_string(page.columnCount) + " " + std::string(PageKindFlag(page.kind)) +
                     " " + page.dateColumn);
  }
  void pageFailed(std::uint64_t offset) override {
    events.push_back("failed " + std::to_string(offset));
  }
  std::vector<std::uint64_t> blocks;
  std::vector<std::string> events;
};

// Many small ranges, more than threads: each thread walks several, in no
// fixed order, and the findings still come out in the order of one walk.
TEST(DiscoveryPassTest, ManySmallRangesGiveWhatOneWalkGives) {
  const fixtures::DemoImage demo = fixtures::BuildDemoImage({});
  std::vector<std::uint8_t> image = demo.image.bytes;
  image.insert(image.end(), demo.image.bytes.begin() + 777, demo.image.bytes.end());
  const std::uint64_t blocks = (image.size() + kScanBlockBytes - 1) / kScanBlockBytes;
  fixtures::MemorySource source(image);
  auto run = [&](unsigned threads, std::uint64_t rangeBlocks, RecordingOutput& output) {
    ClearStop();
    UnreadableBytes unreadable;
    return RunDiscoveryPass(source, blocks, {true, threads, nullptr, rangeBlocks}, output,
                            unreadable);
  };
  RecordingOutput one;
  const DiscoveryResult whole = run(1, DiscoveryOptions{}.rangeBlocks, one);
  ASSERT_TRUE(whole.completed);
  ASSERT_FALSE(one.events.empty());
  EXPECT_EQ(whole.abandonedPageBlocks.size(), blocks);
  for (const unsigned threads : {2u, 3u}) {
    for (const std::uint64_t rangeBlocks : {1u, 2u, 5u}) {
      RecordingOutput several;
      const DiscoveryResult split = run(threads, rangeBlocks, several);
      EXPECT_TRUE(split.completed);
      EXPECT_EQ(several.events, one.events) << threads << " threads, ranges of " << rangeBlocks;
      EXPECT_EQ(split.abandonedPageBlocks, whole.abandonedPageBlocks);
      EXPECT_TRUE(std::is_sorted(several.blocks.begin(), several.blocks.end()));
      ASSERT_FALSE(several.blocks.empty());
      EXPECT_EQ(several.blocks.back(), blocks - 1);
    }
  }
}

// A stop seen by any walk ends the pass as stopped, with no bitmap.
TEST(DiscoveryPassTest, AStopEndsEveryWalk) {
  std::vector<std::uint8_t> image(64 * kScanBlockBytes, 0x0D);
  fixtures::MemorySource source(image);
  for (const unsigned threads : {1u, 2u}) {
    RequestStop();
    RecordingOutput output;
    UnreadableBytes unreadable;
    const DiscoveryResult result =
        RunDiscoveryPass(source, 64, {true, threads, nullptr, 4}, output, unreadable);
    EXPECT_FALSE(result.completed) << threads;
    EXPECT_TRUE(result.abandonedPageBlocks.empty());
  }
  ClearStop();
}

TEST(DiscoveryRangesTest, SplitsWholeBlocksIntoNearlyEqualRanges) {
  struct Case {
    std::uint64_t blocks;
    unsigned threads;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
  };
  const Case cases[] = {
      {1, 2, {{0, 1}}},                    // one block: one walk
      {2, 2, {{0, 1}, {1, 2}}},            //
      {3, 2, {{0, 1}, {1, 3}}},            //
      {32, 2, {{0, 16}, {16, 32}}},        //
      {32, 1, {{0, 32}}},                  //
      {32, 0, {{0, 32}}},                  // no count given: one
      {2, 3, {{0, 1}, {1, 2}}},            // never an empty range
      {10, 3, {{0, 3}, {3, 6}, {6, 10}}},  //
      {1024, 2, {{0, 512}, {512, 1024}}},  // 32 MiB each
      {1025, 2, {{0, 341}, {341, 683}, {683, 1025}}},
      {1025, 1, {{0, 1025}}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
    for (const BlockRun& run : DiscoveryRanges(c.blocks, c.threads, DiscoveryOptions{}.rangeBlocks))
      ranges.emplace_back(run.first, run.end);
    EXPECT_EQ(ranges, c.ranges) << c.blocks << " blocks, " << c.threads << " threads";
  }
}

}  // namespace
}  // namespace orv

namespace orv {
namespace {

std::vector<std::uint8_t> Header(std::uint8_t pageSizeHigh) {
  std::vector<std::uint8_t> header(100, 0);
  std::memcpy(header.data(), "SQLite format 3", 16);
  header[16] = pageSizeHigh;
  return header;
}

// A later part's catalog appended gives what noting both parts in one
// catalog gives: what lay before the later part's first header joins the
// earlier part's last database (its mimetypes noted first win, a schema
// record already known is not repeated), its databases follow.
TEST(SchemaCatalogTest, AppendingALaterPartEqualsNotingItInOrder) {
  const SchemaRecord table{"table", "t", "t", 2, "CREATE TABLE t (a)", true};
  const SchemaRecord other{"table", "u", "u", 3, "CREATE TABLE u (a)", true};
  auto noteEarlier = [&](SchemaCatalog& catalog) {
    catalog.noteHeader(0, Header(0x04));
    catalog.noteSchemaRecord(100, table);
    catalog.noteMimetype(2048, 5, "vnd.android.cursor.item/name");
  };
  auto noteLater = [&](SchemaCatalog& catalog) {
    catalog.noteSchemaRecord(1 << 20, table);  // again: a stale copy
    catalog.noteSchemaRecord(1 << 20, other);
    catalog.noteMimetype((1 << 20) + 1, 5, "vnd.android.cursor.item/phone_v2");
    catalog.noteMimetype((1 << 20) + 1, 6, "vnd.android.cursor.item/phone_v2");
    catalog.noteHeader(2 << 20, Header(0x10));
    catalog.noteMimetype((2 << 20) + 1, 5, "vnd.android.cursor.item/email_v2");
  };
  SchemaCatalog whole;
  noteEarlier(whole);
  noteLater(whole);
  SchemaCatalog earlier;
  noteEarlier(earlier);
  SchemaCatalog later;
  noteLater(later);
  earlier.append(std::move(later));

  ASSERT_EQ(earlier.databases().size(), whole.databases().size());
  for (std::size_t d = 0; d < whole.databases().size(); ++d) {
    const DatabaseInfo& a = earlier.databases()[d];
    const DatabaseInfo& b = whole.databases()[d];
    EXPECT_EQ(a.offset, b.offset);
    EXPECT_EQ(a.pageBytes, b.pageBytes);
    EXPECT_EQ(a.mimetypes, b.mimetypes);
    ASSERT_EQ(a.schema.size(), b.schema.size());
    for (std::size_t r = 0; r < a.schema.size(); ++r) EXPECT_EQ(a.schema[r].name, b.schema[r].name);
  }
  EXPECT_EQ(whole.databases()[0].mimetypes.at(5), "vnd.android.cursor.item/name");
  EXPECT_EQ(whole.databases()[0].schema.size(), 2u);
}

}  // namespace
}  // namespace orv
