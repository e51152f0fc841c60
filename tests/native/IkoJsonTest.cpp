// ikotool's JSON writer, read back by a real JSON reader.
#include "IkoJsonWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

// Quotes, backslashes and control characters in names, and names in UTF-8,
// come back as they went in; the line breaks fall between values.
TEST(IkoJson, EveryTextComesBackAsWritten) {
    const std::string texts[] = {
        "",
        "Data\\MyData\\a.dat",
        "\"quoted\"",
        "tab\tnew\nline\x01\x1f",
        u8"表示\\ソフト\\給与.dat",
        u8"¥〜",
    };
    CIkoJsonWriter json;
    json.BeginObject();
    json.Key("texts");
    json.BeginArray();
    for (const std::string& text : texts) {
        json.LineBreak();
        json.String(text);
    }
    json.LineBreak();
    json.EndArray();
    json.LineBreak();
    json.Key("numbers");
    json.BeginArray();
    json.Number(-1);
    json.Number(5368709120LL);
    json.EndArray();
    json.Key("flags");
    json.BeginObject();
    json.Key("yes");
    json.Bool(true);
    json.Key("no");
    json.Bool(false);
    json.Key("none");
    json.Null();
    json.EndObject();
    json.EndObject();
    const std::string document = json.Take();
    SCOPED_TRACE(document);
    const nlohmann::json parsed = nlohmann::json::parse(document);
    ASSERT_EQ(std::size(texts), parsed["texts"].size());
    for (size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(texts[i], parsed["texts"][i].get<std::string>()) << i;
    EXPECT_EQ((std::vector<int64_t>{-1, 5368709120LL}),
              parsed["numbers"].get<std::vector<int64_t>>());
    EXPECT_EQ(nlohmann::json({{"yes", true}, {"no", false}, {"none", nullptr}}), parsed["flags"]);
    EXPECT_EQ(std::string("{\"texts\":[\n\"\",\n"), document.substr(0, 15));
    EXPECT_TRUE(json.Take().empty());
}
