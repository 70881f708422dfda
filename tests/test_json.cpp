// The program's JSON reader and writer: what the reader refuses and where it says the problem
// is, and output that reads back the same on every platform.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>

#include "host/program/text/json.h"
#include "host/program/text/utf8.h"

using namespace host;

namespace {

// The refusal of `text` as "LINE:COLUMN: what".
std::string refusal(const std::string& text) {
    json::Value v;
    json::ParseError e;
    if (json::parse(text, v, e)) return "accepted";
    return std::to_string(e.line) + ":" + std::to_string(e.column) + ": " + e.what;
}

}  // namespace

TEST(JsonReader, RefusesWhatCannotBeTakenOnTrustAndSaysWhere) {
    EXPECT_EQ(refusal(""), "1:1: unexpected end of the text; expected a value");
    EXPECT_EQ(refusal("{\n  \"a\": 1,,\n}"), "2:10: expected a key in quotes");
    EXPECT_EQ(refusal("{\"a\": 1, \"b\": 2, \"a\": 3}"), "1:18: the key \"a\" appears twice in one object");
    EXPECT_EQ(refusal("{\"f\": 1e999}"), "1:7: the number 1e999 is out of the range of a double");
    EXPECT_EQ(refusal("[-1e999]"), "1:2: the number -1e999 is out of the range of a double");
    EXPECT_EQ(refusal("[NaN]"), "1:2: NaN and Infinity are not JSON numbers");
    EXPECT_EQ(refusal("[Infinity]"), "1:2: NaN and Infinity are not JSON numbers");
    EXPECT_EQ(refusal("[1.]"), "1:2: malformed number");
    EXPECT_EQ(refusal("[01]"), "1:3: expected ',' or ']' in an array");
    EXPECT_EQ(refusal("{\"a\": \"\xff\"}"), "1:8: the text is not UTF-8 here");
    EXPECT_EQ(refusal("{\"\xc3\xa9t\xc3\xa9\": 1, \"b\": x}"), "1:17: unexpected character; expected a value");
    EXPECT_EQ(refusal("[\"\\ud800\"]"), "1:9: a \\u escape names half a character (a lone surrogate)");
    EXPECT_EQ(refusal("[\"a\tb\"]"), "1:4: a control character in a string (write it as an escape)");
    EXPECT_EQ(refusal("{} {}"), "1:4: unexpected text after the end of the document");
    EXPECT_EQ(refusal(std::string(64, '[') + std::string(64, ']')), "accepted");
    EXPECT_EQ(refusal(std::string(65, '[') + std::string(65, ']')), "1:65: nested more than 64 levels deep");
    EXPECT_EQ(refusal(std::string(100000, '[')), "1:65: nested more than 64 levels deep");
}

TEST(JsonReader, ReadsValuesWithTheirPlaces) {
    json::Value v;
    json::ParseError e;
    const std::string text = "{\n  \"name\": \"B\\u00e4ll \\ud83d\\ude00\",\n  \"list\": [true, null, -0.5e1]\n}";
    ASSERT_TRUE(json::parse(text, v, e)) << e.what;
    ASSERT_EQ(v.type, json::Value::Type::Object);
    EXPECT_EQ(v.find("name")->text, "B\xc3\xa4ll \xf0\x9f\x98\x80");
    const json::Value& list = *v.find("list");
    ASSERT_EQ(list.items.size(), 3u);
    EXPECT_TRUE(list.items[0].boolean);
    EXPECT_EQ(list.items[1].type, json::Value::Type::Null);
    EXPECT_EQ(list.items[2].number, -5.0);
    int line = 0, column = 0;
    json::position(text, list.items[2].offset, line, column);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(column, 24);
}

TEST(JsonWriter, NumbersReadBackExactlyAndTextStaysValid) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        uint64_t bits = rng();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d)) continue;
        json::Value back;
        json::ParseError e;
        ASSERT_TRUE(json::parse(json::number_text(d), back, e)) << json::number_text(d);
        EXPECT_EQ(back.number, d == 0 ? 0.0 : d) << json::number_text(d);
    }
    EXPECT_EQ(json::number_text(7.0), "7");
    EXPECT_EQ(json::number_text(-0.0), "0");
    EXPECT_EQ(json::number_text(0.1), "0.1");
    EXPECT_EQ(json::number_text(NAN), "null");
    EXPECT_EQ(json::number_text(-INFINITY), "null");
    // A single-precision value: the shortest text that reads back to the same float.
    for (int i = 0; i < 20000; ++i) {
        uint32_t bits = static_cast<uint32_t>(rng());
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f)) continue;
        const std::string text = json::write(json::Value::of_single(f));
        ASSERT_EQ(std::strtof(text.c_str(), nullptr), f == 0 ? 0.0f : f) << text;
        EXPECT_LE(text.size(), json::number_text(f).size()) << text;
    }
    EXPECT_EQ(json::write(json::Value::of_single(0.001f)), "0.001");

    EXPECT_EQ(json::quote("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
    EXPECT_EQ(json::quote(" \x1f\x7f"), "\" \\u001f\\u007f\"");  // a space is not escaped
    // Escapes come back as the characters they name, and UTF-8 of every length passes whole.
    const std::pair<const char*, const char*> escapes[] = {
        {"\"\\u00e9\"", "\xc3\xa9"}, {"\"\\u20ac\"", "\xe2\x82\xac"}, {"\"\\ud83d\\ude00\"", "\xf0\x9f\x98\x80"},
        {"\"\\u0041\\t\"", "A\t"}, {"\"\\ud7ff\\ue000\"", "\xed\x9f\xbf\xee\x80\x80"}};  // either side of the halves
    for (const auto& [text, value] : escapes) {
        json::Value v;
        json::ParseError e;
        ASSERT_TRUE(json::parse(text, v, e)) << text;
        EXPECT_EQ(v.text, value) << text;
        EXPECT_EQ(valid_utf8(value), value);
    }
    EXPECT_EQ(json::quote("out/b\xff.json"), "\"out/b\xef\xbf\xbd.json\"");  // replaced, not passed on
    EXPECT_EQ(valid_utf8("\xe2\x88\x9e \xc0\xaf \xed\xa0\x80"), "\xe2\x88\x9e \xef\xbf\xbd\xef\xbf\xbd \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
    // Either side of each bound of a lead byte: kept whole, or each byte replaced.
    const std::pair<const char*, bool> bounds[] = {
        {"\xc2\x80", true},         {"\xc1\xbf", false},         {"\xdf\xbf", true},         {"\xe0\xa0\x80", true},
        {"\xe0\x9f\xbf", false},    {"\xed\x9f\xbf", true},     {"\xf0\x90\x80\x80", true}, {"\xf0\x8f\xbf\xbf", false},
        {"\xf4\x8f\xbf\xbf", true}, {"\xf4\x90\x80\x80", false}, {"\xf5\x80\x80\x80", false}, {"\xf8\x80\x80\x80", false}};
    for (const auto& [bytes, valid] : bounds) {
        std::string replaced;
        for (size_t i = 0; i < std::strlen(bytes); ++i) replaced += "\xef\xbf\xbd";
        EXPECT_EQ(valid_utf8(bytes), valid ? std::string(bytes) : replaced) << json::quote(bytes);
    }

    json::Value doc = json::Value::object();
    doc.set("path", json::Value::of("b\xff"));
    doc.set("xs", json::Value::array()).add(json::Value::of(1.5));
    const std::string text = json::write(doc);
    json::Value back;
    json::ParseError e;
    ASSERT_TRUE(json::parse(text, back, e)) << text;
    EXPECT_EQ(back.find("path")->text, "b\xef\xbf\xbd");
    EXPECT_EQ(json::write(back), text);
    EXPECT_EQ(json::write(doc, 0), "{\"path\": \"b\xef\xbf\xbd\", \"xs\": [1.5]}");
}

TEST(JsonReader, LargeInputsReadInTimeLinearInTheirSize) {
    // 200,000 keys in one object (checking each key against all earlier ones would take
    // minutes); the repeated key at the end is still found, where it is.
    std::string text = "{";
    for (int i = 0; i < 200000; ++i) text += "\"k" + std::to_string(i) + "\": " + std::to_string(i) + ", ";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(refusal(text + "\"k7\": 0}"), "1:" + std::to_string(text.size() + 1) + ": the key \"k7\" appears twice in one object");
    EXPECT_EQ(refusal(text + "\"last\": 0}"), "accepted");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}
