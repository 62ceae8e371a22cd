// counter-report over fixture logs whose figures are known: two directories
// (two web servers) whose demo.log merge, a counter with a hostile name and
// hostile referers, and every kind of damage: a blank line, a torn line, binary
// noise, forged dates (29 February 2026, the year 9999), a forged layout, a
// file that is not a hit log, a directory named like one. "Today" is 2026-03-01, so the windows meet a
// month end and hits stamped a second either side of midnight.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "tests/common/harness.h"

namespace {
const std::string kFixtures = KORVELIN_REPORT_FIXTURES;
const std::string kServer1 = kFixtures + "/server1";
const std::string kServer2 = kFixtures + "/server2";
const std::string kHostile = "<b>x&\"y'";

harness::ProcessResult Report(std::vector<std::string> args) {
  args.insert(args.begin(), KORVELIN_TEST_REPORT);
  return harness::RunCommand(args, {"TZ=UTC"});
}

harness::ProcessResult ReportFixtures(std::vector<std::string> args) {
  args.insert(args.begin(), {"--today", "2026-03-01"});
  args.insert(args.end(), {kServer1, kServer2});
  return Report(args);
}

const char kSkipped[] =
    "skipped 9 malformed lines in 3 logs, and 1 .log entry that is not a regular file";

TEST(ReportTest, TextGivesEachCounterItsFiguresAndOneLineForWhatWasSkipped) {
  harness::ProcessResult result = ReportFixtures({});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "Hit logs in " + kServer1 + ", " + kServer2 + "\n" +
R"(Today is 2026-03-01

<b>x&"y'
  hits         6 in all, 0 today, 0 in the last 7 days, 0 in the last 30 days
  first hit    2024-02-28 08:00:00
  last hit     2024-03-02 13:00:00
  clients      4 distinct addresses
  referred by  (none) 3, evil.example 2, a.example 1

demo
  hits         7 in all, 3 today, 4 in the last 7 days, 7 in the last 30 days
  first hit    2026-01-31 23:59:59
  last hit     2026-03-01 23:59:59
  clients      4 distinct addresses
  referred by  example.org 3, (none) 2, <svg onload=alert(1)> 1, news.example.net 1

2 counters, 13 hits
)" + kSkipped + "\n");
}

TEST(ReportTest, CsvGivesTheSameFiguresQuotedAndTellsWhatWasSkippedOnStandardError) {
  harness::ProcessResult result = ReportFixtures({"--csv"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, std::string("counter-report: ") + kSkipped + "\n");
  EXPECT_EQ(result.out,
            "counter,hits,today,last_7_days,last_30_days,first_hit,last_hit,distinct_clients,"
            "site_1,site_1_hits,site_2,site_2_hits,site_3,site_3_hits,site_4,site_4_hits,"
            "site_5,site_5_hits\r\n"
            "\"<b>x&\"\"y'\",6,0,0,0,2024-02-28T08:00:00,2024-03-02T13:00:00,4,"
            "(none),3,evil.example,2,a.example,1,,,,\r\n"
            "demo,7,3,4,7,2026-01-31T23:59:59,2026-03-01T23:59:59,4,"
            "example.org,3,(none),2,<svg onload=alert(1)>,1,news.example.net,1,,\r\n");
}

TEST(ReportTest, CsvHitsGivesEveryHitWithItsFieldsAndLongValuesWhole) {
  harness::ProcessResult result = ReportFixtures({"--csv", "--hits"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out,
            "counter,local_time,client,host,forwarded_for,referer\r\n"
            "\"<b>x&\"\"y'\",2024-02-28T08:00:00,192.0.2.1,,,"
            "\"http://evil.example/\"\"><script>alert(1)</script>\"\r\n"
            "\"<b>x&\"\"y'\",2024-02-28T09:00:00,192.0.2.1,,,\"http://a.example/?x=1,2\"\r\n"
            "\"<b>x&\"\"y'\",2024-02-28T23:59:59,192.0.2.2,,,\r\n"
            "\"<b>x&\"\"y'\",2024-03-01T00:00:00,192.0.2.3,,,http://evil.example/again\r\n"
            "\"<b>x&\"\"y'\",2024-03-02T12:00:00,192.0.2.3,,,\r\n"
            "\"<b>x&\"\"y'\",2024-03-02T13:00:00,192.0.2.4,,,\r\n"
            "demo,2026-01-31T23:59:59,10.0.0.1,,,https://User@Example.ORG:8443/page?q=1\r\n"
            "demo,2026-02-01T00:00:00,10.0.0.2,,,\r\n"
            "demo,2026-02-28T23:59:59,10.0.0.1,host-name.client.example,"
            "\"203.0.113.9, 198.51.100.77\",http://example.org/x\r\n"
            "demo,2026-03-01T00:00:00,10.0.0.3,,,https://news.example.net/story\r\n"
            "demo,2026-03-01T12:30:00,10.0.0.3,,,\r\n"
            "demo,2026-02-15T12:00:00,10.0.0.4,,,http://example.org/\r\n"
            "demo,2026-03-01T23:59:59,10.0.0.1,,,http://<svg onload=alert(1)>/\r\n");
}

TEST(ReportTest, OneCounterGetsItsHitsPerDayIncludingDaysWithoutHits) {
  harness::ProcessResult text = ReportFixtures({"--counter", kHostile});
  EXPECT_EQ(text.exit_status, 0);
  // 2024 is a leap year: 29 February is a day of its own, without hits.
  EXPECT_NE(text.out.find("  hits per day\n"
                          "    2024-02-28  3\n"
                          "    2024-02-29  0\n"
                          "    2024-03-01  1\n"
                          "    2024-03-02  2\n\n"
                          "1 counter, 6 hits\n"
                          "skipped 1 malformed line in 1 log\n"),
            std::string::npos)
      << text.out;
  EXPECT_EQ(text.out.find("demo"), std::string::npos);

  harness::ProcessResult csv = ReportFixtures({"--csv", "--counter", "demo"});
  EXPECT_EQ(csv.exit_status, 0);
  EXPECT_EQ(csv.out.rfind("counter,date,hits\r\ndemo,2026-01-31,1\r\ndemo,2026-02-01,1\r\n", 0), 0u)
      << csv.out;
  // February 2026 has 28 days: the last of them, then March.
  EXPECT_NE(csv.out.find("demo,2026-02-27,0\r\ndemo,2026-02-28,1\r\ndemo,2026-03-01,3\r\n"),
            std::string::npos)
      << csv.out;
  EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + 30);
}

TEST(ReportTest, SinceAndUntilLimitEveryFigureToTheirDays) {
  harness::ProcessResult result =
      ReportFixtures({"--csv", "--since", "2026-02-01", "--until=2026-02-28"});
  EXPECT_EQ(result.exit_status, 0);
  // A counter whose hits all fall outside is still listed, with none.
  EXPECT_NE(result.out.find("\r\n\"<b>x&\"\"y'\",0,0,0,0,,,0,,,,,,,,,,\r\n"), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("\r\ndemo,3,0,1,3,2026-02-01T00:00:00,2026-02-28T23:59:59,3,"
                            "example.org,2,(none),1,,,,,,\r\n"),
            std::string::npos)
      << result.out;
}

TEST(ReportTest, PageEscapesEveryNameAndRefererAndLoadsNothingFromElsewhere) {
  std::string page_path = harness::ScratchDir("report_page") + "/report.html";
  harness::ProcessResult result = ReportFixtures({"--html", page_path});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, std::string("counter-report: ") + kSkipped + "\n");
  EXPECT_EQ(result.out, "");
  std::string page = harness::ReadFile(page_path);
  EXPECT_NE(page.find("<meta charset=\"windows-1251\">"), std::string::npos);
  // The hostile texts appear only escaped: in the table, the heading, the
  // chart's label attribute and its title text.
  const std::string escaped_name = "&lt;b&gt;x&amp;&quot;y&#39;";
  for (const std::string& place :
       {">" + escaped_name + "</a>", "<h2>" + escaped_name + "</h2>",
        "aria-label=\"Hits per day of counter " + escaped_name + "\"",
        "class=\"chart-title\">" + escaped_name + "</text>",
        std::string("&lt;svg onload=alert(1)&gt; (1)")}) {
    EXPECT_NE(page.find(place), std::string::npos) << place;
  }
  for (const char* raw : {"<b>", "<svg onload", "<script", "alert(1)</", "src=", "url(",
                          "@import", "<link", "http://evil", "\x1b", "noise"}) {
    EXPECT_EQ(page.find(raw), std::string::npos) << raw;
  }
  EXPECT_NE(page.find("<p class=\"skipped\">" + std::string(kSkipped) + ".</p>"),
            std::string::npos);
  // One bar per day from the first hit to the last, with its hits.
  std::regex bar("<rect class=\"bar\" data-day=\"([0-9-]+)\" data-hits=\"([0-9]+)\"");
  std::vector<std::string> bars;
  for (auto it = std::sregex_iterator(page.begin(), page.end(), bar); it != std::sregex_iterator();
       ++it)
    bars.push_back((*it)[1].str() + "=" + (*it)[2].str());
  ASSERT_EQ(bars.size(), 4u + 30u);
  EXPECT_EQ(std::vector<std::string>(bars.begin(), bars.begin() + 4),
            (std::vector<std::string>{"2024-02-28=3", "2024-02-29=0", "2024-03-01=1", "2024-03-02=2"}));
  EXPECT_EQ(bars.back(), "2026-03-01=3");
}

// A line is read whole across the boundary of two reads; a line too long to be
// a hit counts as one malformed line, and the hit after it is read.
TEST(ReportTest, LinesAcrossReadsAndOverlongLines) {
  std::string dir = harness::ScratchDir("report_long_lines");
  std::string hit =
      "Date: 01.03.2026 Time: 10:00:00 A:10.0.0.1        H:(null)          IP:(null)          "
      "FROM:http://example.org/";
  hit += std::string(200 - hit.size() - 1, 'x') + "\n";
  std::string log;
  while (log.size() < (3u << 20)) log += hit;  // lines straddle 1 MiB read boundaries
  std::size_t hits = log.size() / hit.size();
  log += std::string(3u << 20, 'z') + "\n" + hit;
  harness::WriteFile(dir + "/long.log", log);
  harness::ProcessResult result = Report({"--csv", "--today", "2026-03-01", dir});
  EXPECT_EQ(result.exit_status, 0);
  std::string total = std::to_string(hits + 1);
  EXPECT_NE(result.out.find("\r\nlong," + total + "," + total + "," + total + ","), std::string::npos)
      << result.out;
  EXPECT_EQ(result.err, "counter-report: skipped 1 malformed line in 1 log\n");
}

// A counter name or referer holding control bytes cannot drive the terminal.
TEST(ReportTest, TextShowsControlBytesAsQuestionMarks) {
  std::string dir = harness::ScratchDir("report_terminal");
  harness::WriteFile(dir + "/a\x1b[2Jb.log",
                     "Date: 01.03.2026 Time: 10:00:00 A:10.0.0.1        H:(null)          "
                     "IP:(null)          FROM:http://x\x1b]0;title\x07.example/\n");
  harness::ProcessResult result = Report({"--today", "2026-03-01", dir});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_NE(result.out.find("\na?[2Jb\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  referred by  x?]0;title?.example 1\n"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find_first_of("\x1b\x07"), std::string::npos);
}

// Each address text counts once: thousands of IPv4 addresses (kept as numbers),
// 0.0.0.0, and texts that are not dotted IPv4 (an IPv6 address, a leading zero).
TEST(ReportTest, DistinctClientsCountEachAddressOnce) {
  std::string dir = harness::ScratchDir("report_clients");
  std::string log;
  auto add = [&log](const std::string& client) {
    char line[200];
    snprintf(line, sizeof line,
             "Date: 01.03.2026 Time: 10:00:00 A:%-15s H:(null)          IP:(null)          FROM:(null)\n",
             client.c_str());
    log += line;
  };
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 3000; ++i) add("10.1." + std::to_string(i / 256) + "." + std::to_string(i % 256));
    for (const char* client : {"10.0.0.1", "0.0.0.0", "::1", "010.0.0.1", "(null)"}) add(client);
  }
  harness::WriteFile(dir + "/clients.log", log);
  harness::ProcessResult result = Report({"--csv", "--today", "2026-03-01", dir});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_NE(result.out.find(",3004,(none),6010,"), std::string::npos) << result.out;
}

TEST(ReportTest, ReadsTheCompiledDataRootByDefaultAndShowsTheSettings) {
  harness::ResetDataRoot();
  harness::WriteFile(harness::DataRoot() + "counters/news.log",
                     "Date: 10.12.2026 Time: 09:15:00 A:10.0.0.1        H:(null)          "
                     "IP:(null)          FROM:(null)\n");
  harness::ProcessResult result = Report({"--csv", "--today", "2026-12-10"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_NE(result.out.find("\r\nnews,1,1,1,1,2026-12-10T09:15:00,2026-12-10T09:15:00,1,(none),1,"),
            std::string::npos)
      << result.out;

  harness::ProcessResult settings = Report({"--settings"});
  EXPECT_EQ(settings.exit_status, 0);
  EXPECT_NE(settings.out.find("data root         " + harness::DataRoot() + "\n"), std::string::npos);
  EXPECT_NE(settings.out.find("home page         " KORVELIN_TEST_HOME "\n"), std::string::npos);
  EXPECT_NE(settings.out.find("redirect hosts    "), std::string::npos);
  EXPECT_NE(settings.out.find("known counters    "), std::string::npos);
}

TEST(ReportTest, FailuresNameWhatFailedAndExitNonZero) {
  std::string dir = harness::ScratchDir("report_failures");
  harness::WriteFile(dir + "/file", "not a directory\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{dir + "/missing"}, 1, "cannot read the counters directory " + dir + "/missing: "},
      {{kServer1, dir + "/file"}, 1, "cannot read the counters directory " + dir + "/file: "},
      {{"--counter", "absent", kServer1}, 1, "no hit log of counter absent"},
      {{"--html", dir + "/missing/page.html", kServer1}, 1, "cannot write " + dir + "/missing/page.html: "},
      {{"--hits", kServer1}, 2, "--hits goes with --csv"},
      {{"--since", "2026-02-30", kServer1}, 2, "--since needs a date as YYYY-MM-DD"},
      {{"--since", "2026-03-02", "--until", "2026-03-01", kServer1}, 2, "--since is after --until"},
      {{"--colour", kServer1}, 2, "unknown option --colour"},
  };
  for (const Case& c : cases) {
    harness::ProcessResult result = Report(c.args);
    EXPECT_EQ(result.exit_status, c.status) << c.args[0];
    EXPECT_EQ(result.err.rfind("counter-report: " + c.message, 0), 0u) << result.err;
    // A failed read gives no report at all, rather than one with holes.
    EXPECT_EQ(result.out, "") << c.args[0];
  }
}
}  // namespace
