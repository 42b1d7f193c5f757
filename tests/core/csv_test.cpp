// CSV written for spreadsheets and read back from plans: quoting, formula-looking camera texts.

#include "core/util/csv.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/app/camera_export.h"
#include "core/platform/codepage.h"

namespace orv::test {
namespace {

TEST(Csv, QuotesOnlyWhatNeedsItAndDefusesFormulas) {
  EXPECT_EQ(CsvField("plain text"), "plain text");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(CsvField("cr\rhere"), "\"cr\rhere\"");
  EXPECT_EQ(CsvField("門口攝影機"), "門口攝影機") << "UTF-8 passes as it is";
  EXPECT_EQ(CsvField(""), "");
  for (const char* formula : {"=1+1", "+1", "-1", "@SUM(A1)", "\tx"}) {
    EXPECT_EQ(CsvField(formula), std::string("'") + formula) << formula;
  }
  EXPECT_EQ(CsvField("=HYPERLINK(\"x\",\"y\")"), "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\"");
  EXPECT_EQ(CsvField("a=b"), "a=b") << "only the first character counts";
  EXPECT_EQ(CsvRow({"a", "b,c", ""}), "a,\"b,c\",\r\n");
}

TEST(Csv, ParsesWhatItWritesAndNamesTheLineOfAFault) {
  const std::string text = CsvRow({"mac", "set"}) + CsvRow({"x,y", "two\nlines \"q\""}) + "\n" +
                           "last,row";  // a blank line and no final line end
  std::vector<std::vector<std::string>> rows;
  std::size_t line = 0;
  ASSERT_TRUE(ParseCsv(text, rows, &line));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"x,y", "two\nlines \"q\""}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"last", "row"}));
  EXPECT_FALSE(ParseCsv("a,b\nc,d\"e\n", rows, &line));
  EXPECT_EQ(line, 2u);
  EXPECT_FALSE(ParseCsv("a\n\"open,\nstill open", rows, &line));
  EXPECT_EQ(line, 2u) << "an unclosed quote is named where it opened";
  EXPECT_FALSE(ParseCsv("\"closed\"x\n", rows, &line));
}

TEST(CameraExport, ExactBytesWithHeaderAndCameraTextsAsData) {
  SetSystemCodePage(kCodePageUtf8);
  CameraEntry a;
  a.ip.assign("192.168.0.98");
  a.mac.assign("00:1A:2B:3C:4D:5E");
  a.port.assign("80");
  a.desc.assign("=cmd|' /C calc'!A0");
  a.sport.assign("8001");
  a.cam_id.assign("SN1");
  a.adapter.assign("eth0");
  CameraEntry b = a;
  b.desc.assign("門口, \"front\"");
  const CameraEntry rows[] = {a, b};
  EXPECT_EQ(CameraListCsv(rows),
            "ip,mac,port,desc,sport,cam_id,adapter\r\n"
            "192.168.0.98,00:1A:2B:3C:4D:5E,80,'=cmd|' /C calc'!A0,8001,SN1,eth0\r\n"
            "192.168.0.98,00:1A:2B:3C:4D:5E,80,\"門口, \"\"front\"\"\",8001,SN1,eth0\r\n");
  const std::string json = CameraListJson(rows);
  EXPECT_EQ(nlohmann::json::parse(json)["cameras"][1]["desc"], "門口, \"front\"");
  EXPECT_EQ(json.back(), '\n');
}

}  // namespace
}  // namespace orv::test
