// A call log with a write-ahead log, as a phone leaves it: the database file
// holds the calls as they were at the last checkpoint, the "-wal" file the
// calls changed, deleted and added since. Both files lie in the image; every
// call is listed once as it is now, its older versions as history.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "fixtures/memory_source.h"
#include "fixtures/phone_layouts.h"
#include "platform/stop_flag.h"
#include "results/record_assembly.h"
#include "scan/recording_scan_view.h"
#include "scan/tscan.h"
#include "scan/wal_frames.h"

namespace orv {
namespace {

constexpr int kCalls = 200;
constexpr int kAdded = 20;
constexpr std::int64_t kFirstDate = 1546300800000;  // 2019-01-01

bool Changed(int i) { return i % 10 == 3; }
bool Removed(int i) { return i % 10 == 7; }

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
}

std::string CallValues(int i, int duration) {
  std::string values = std::to_string(i + 1) + ", '1380013" + std::to_string(1000 + i) + "', 1, " +
                       std::to_string(kFirstDate + i * 60000LL) + ", " + std::to_string(duration) +
                       ", 2, 'Caller " + std::to_string(i) + "'";
  return "INSERT INTO calls (_id, number, presentation, date, duration, type, name) VALUES (" +
         values + ")";
}

// The database file and its write-ahead log, read while the database is
// still open (closing it would checkpoint the log into the file).
std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>> CallLogWithWal(
    std::uint32_t pageBytes) {
  const auto dir =
      std::filesystem::temp_directory_path() /
      ("orv_wal_" + std::to_string(::getpid()));  // one per process: ctest runs tests side by side
  std::filesystem::create_directories(dir);
  const auto path = dir / "calllog.db";
  sqlite3* db = nullptr;
  sqlite3_open(path.string().c_str(), &db);
  Exec(db, "PRAGMA page_size = " + std::to_string(pageBytes));
  Exec(db, "PRAGMA journal_mode = WAL");
  Exec(db, "PRAGMA wal_autocheckpoint = 0");
  Exec(db, fixtures::CreateTableSqlOf(fixtures::Pixel10Calls()));
  Exec(db, "CREATE TABLE voicemail_status (_id INTEGER PRIMARY KEY, source_package TEXT)");
  Exec(db, "BEGIN");
  for (int i = 0; i < kCalls; ++i) Exec(db, CallValues(i, 30));
  Exec(db, "COMMIT");
  Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
  for (int i = 0; i < kCalls; ++i) {
    if (Changed(i))
      Exec(db, "UPDATE calls SET duration = 999 WHERE _id = " + std::to_string(i + 1));
    if (Removed(i)) Exec(db, "DELETE FROM calls WHERE _id = " + std::to_string(i + 1));
  }
  for (int i = kCalls; i < kCalls + kAdded; ++i) Exec(db, CallValues(i, 30));
  auto files = std::make_pair(ReadFile(path), ReadFile(path.string() + "-wal"));
  sqlite3_close(db);
  std::filesystem::remove_all(dir);
  return files;
}

struct Scanned {
  ResultTables tables;
  RecordingScanView view;
};

// Frames hold pages of the database's page size: 4096 bytes, which the
// byte-by-byte tests find, or more, which are read whole.
class WalScanTest : public ::testing::TestWithParam<std::uint32_t> {
 protected:
  static const Scanned& Scan() {
    static std::map<std::uint32_t, Scanned> scans;
    if (const auto done = scans.find(GetParam()); done != scans.end()) return done->second;
    const auto [file, wal] = CallLogWithWal(GetParam());
    EXPECT_GT(wal.size(), kWalHeaderBytes);
    std::vector<std::uint8_t> image(64 * 1024, 0);
    for (const auto* part : {&file, &wal}) {
      image.insert(image.end(), part->begin(), part->end());
      image.resize((image.size() + 4095) / 4096 * 4096 + 4096, 0);
    }
    image.resize(image.size() + 64 * 1024, 0);
    ClearStop();
    Scanned& scanned = scans[GetParam()];
    ScanSettings settings{"image", ScanKind::kContactsCallsSms, LayoutMode::kLearned};
    Tscan scan(settings, scanned.tables, scanned.view,
               std::make_unique<fixtures::MemorySource>(image));
    EXPECT_EQ(scan.run(), ScanOutcome::kCompleted);
    return scanned;
  }
};

TEST_P(WalScanTest, EveryCallIsListedOnceAsTheLogLeftIt) {
  std::map<std::string, std::vector<TableRow>> live;
  for (const TableRow& row : Scan().tables.rows(ResultTable::kFuck2))
    if (row[fuck2::kDel].empty()) live[row[fuck2::kId]].push_back(row);
  std::size_t expected = 0;
  for (int i = 0; i < kCalls + kAdded; ++i) {
    const std::string id = std::to_string(i + 1);
    if (i < kCalls && Removed(i)) {
      EXPECT_EQ(live.count(id), 0u) << id;
      continue;
    }
    ++expected;
    ASSERT_EQ(live[id].size(), 1u) << id;
    EXPECT_EQ(live[id][0][fuck2::kDuration], i < kCalls && Changed(i) ? "999" : "30") << id;
  }
  EXPECT_EQ(live.size(), expected);
}

TEST_P(WalScanTest, OlderVersionsAreHistoryOnceAndListedNowhere) {
  std::map<std::string, std::size_t> history;
  for (const TableRow& row : Scan().tables.rows(ResultTable::kFuck2))
    if (row[fuck2::kDel] == kHistoryMark) {
      ++history[row[fuck2::kId]];
      EXPECT_EQ(row[fuck2::kDuration], "30");
    }
  for (int i = 0; i < kCalls; ++i) {
    const std::string id = std::to_string(i + 1);
    EXPECT_EQ(history[id], Changed(i) || Removed(i) ? 1u : 0u) << id;
  }
  const PreviewEntries preview =
      AssembleEntries(PreviewKind::kCalls, Scan().tables.rows(ResultTable::kFuck2), {});
  EXPECT_EQ(preview.normal.entries().size(),
            static_cast<std::size_t>(kCalls + kAdded - kCalls / 10));
  const auto& log = Scan().view.log;
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.find("预写日志(WAL):偏移值为") != std::string::npos;
  }));
}

INSTANTIATE_TEST_SUITE_P(PageSizes, WalScanTest, ::testing::Values(4096u, 16384u, 65536u),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace orv
