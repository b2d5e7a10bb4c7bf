#include "platform/xml_document.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

#include <string>

namespace quill {
namespace {

class xml_reading_test : public ::testing::Test {
protected:
    std::string write_file(const std::string& name, const std::string& bytes) {
        const QString path = dir_.filePath(QString::fromStdString(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path.toStdString();
    }

    QTemporaryDir dir_;
};

std::string nested(int levels) {
    std::string bytes;
    for (int i = 0; i < levels; ++i) {
        bytes += "<a>";
    }
    for (int i = 0; i < levels; ++i) {
        bytes += "</a>";
    }
    return bytes;
}

int depth_below(const xml_element& root) {
    int depth = 0;
    for (const xml_element* e = &root; !e->children.empty(); e = &e->children.front()) {
        ++depth;
    }
    return depth;
}

TEST_F(xml_reading_test, files_that_cannot_be_read_give_no_document) {
    for (const std::string& path : {dir_.filePath("missing.xml").toStdString(),
                                    write_file("empty.xml", ""), dir_.path().toStdString()}) {
        const xml_document document = read_xml_file(path);
        EXPECT_FALSE(document.loaded) << path;
        EXPECT_FALSE(document.root) << path;
    }
}

TEST_F(xml_reading_test, tree_keeps_order_attributes_and_texts_unchanged) {
    const xml_document document = read_xml_file(write_file(
        "level.xml",
        "<level><pic type=\"bg\" b=\"2\" a=\"1\">map.png</pic><n>\n42</n><s>  42 </s>"
        "<m>a<![CDATA[<b>&]]>c&amp;d&#x20AC;</m><p>before<c>inner</c>after</p></level>"));
    ASSERT_TRUE(document.loaded);
    EXPECT_TRUE(document.well_formed);
    ASSERT_TRUE(document.root);
    EXPECT_EQ(document.root->name, "level");
    const auto& children = document.root->children;
    ASSERT_EQ(children.size(), 5u);
    const auto& attributes = children[0].attributes;
    ASSERT_EQ(attributes.size(), 3u);
    EXPECT_EQ(attributes[0].name + attributes[1].name + attributes[2].name, "typeba");
    EXPECT_EQ(attributes[0].value, "bg");
    EXPECT_EQ(children[0].text, "map.png");
    EXPECT_EQ(children[1].text, "\n42");
    EXPECT_EQ(children[2].text, "  42 ");
    EXPECT_EQ(children[3].text, "a<b>&c&d€");
    EXPECT_EQ(children[4].text, "beforeafter");
    EXPECT_EQ(children[4].children.at(0).text, "inner");
}

TEST_F(xml_reading_test, parse_error_gives_text_line_and_one_based_character) {
    // The parser points at the name in the mismatched end tag: character 7 of "<id></x>".
    const xml_document mismatched = parse_xml("<players>\n<player>\n<id></x>\n</player>");
    EXPECT_TRUE(mismatched.loaded);
    EXPECT_FALSE(mismatched.well_formed);
    EXPECT_EQ(mismatched.error_text, "mismatched tag");
    EXPECT_EQ(mismatched.error_line, 3);
    EXPECT_EQ(mismatched.error_column, 7);

    // The invalid token is the "<" after "&": character 7 of the line, though its tenth byte.
    const xml_document invalid = parse_xml("<r>\n<ä>äö&</ä>\n</r>");
    EXPECT_EQ(invalid.error_text, "not well-formed (invalid token)");
    EXPECT_EQ(invalid.error_line, 2);
    EXPECT_EQ(invalid.error_column, 7);
}

TEST_F(xml_reading_test, tree_parsed_before_an_error_is_kept) {
    const xml_document document = read_xml_file(write_file(
        "players.xml",
        "<players><player><name>Anna</name></player><player><name>Bo</name><id>p2<oops"));
    EXPECT_FALSE(document.well_formed);
    ASSERT_TRUE(document.root);
    const auto& players = document.root->children;
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(players[0].children.at(0).text, "Anna");
    ASSERT_EQ(players[1].children.size(), 2u);
    EXPECT_EQ(players[1].children[0].text, "Bo");
    EXPECT_EQ(players[1].children[1].text, "p2");

    const xml_document nothing = parse_xml("  \n");
    EXPECT_TRUE(nothing.loaded);
    EXPECT_EQ(nothing.error_text, "no element found");
    EXPECT_FALSE(nothing.root);
}

TEST_F(xml_reading_test, encodings_from_the_declaration) {
    struct sample {
        std::string encoding, bytes, utf8;
    };
    const sample samples[] = {
        {"windows-1252", "\xE4\x80\x9F", "ä€Ÿ"},
        {"CP1252", "\xE4\x80\x9F", "ä€Ÿ"},
        {"ISO-8859-15", "\xE4\xA4\xBE", "ä€Ÿ"},
        {"Latin9", "\xE4\xA4\xBE", "ä€Ÿ"},
        {"iso-8859-1", "\xE4\xA4\xBE", "ä¤¾"},
        {"latin1", "\xE4\xA4\xBE", "ä¤¾"},
        {"ISO-8859-2", "\xB1\xE6\xBE", "ąćž"},
        {"windows-1250", "\x9A\xE8\x8A", "ščŠ"},
        {"KOI8-R", "\xC1\xF7", "аВ"},
        {"windows-1252", "\x81\x8D", "\u0081\u008D"},
    };
    for (const auto& [encoding, bytes, utf8] : samples) {
        const xml_document document = read_xml_file(
            write_file("file.xml", "<?xml version=\"1.0\" encoding=\"" + encoding +
                                       "\"?>\r\n<r a=\"" + bytes + "\">" + bytes + "</r>"));
        ASSERT_TRUE(document.root) << encoding;
        EXPECT_TRUE(document.well_formed) << encoding << ": " << document.error_text;
        EXPECT_EQ(document.root->text, utf8) << encoding;
        EXPECT_EQ(document.root->attributes.at(0).value, utf8) << encoding;
    }

    const std::u16string text = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><r>ä€𝄞</r>";
    std::string utf16 = "\xFF\xFE";
    for (char16_t unit : text) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    const xml_document wide = read_xml_file(write_file("utf16.xml", utf16));
    ASSERT_TRUE(wide.root) << wide.error_text;
    EXPECT_EQ(wide.root->text, "ä€𝄞");

    EXPECT_EQ(parse_xml("<r>ä€</r>").root->text, "ä€");

    // Only single-byte encodings can be decoded byte by byte; the others are refused whole.
    for (const char* encoding : {"Shift_JIS", "no-such-encoding"}) {
        const xml_document refused =
            parse_xml(std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?><r>x</r>");
        EXPECT_FALSE(refused.well_formed) << encoding;
        EXPECT_EQ(refused.error_text, "unknown encoding") << encoding;
    }
    EXPECT_FALSE(parse_xml("<r>\xE4</r>").well_formed);
}

TEST_F(xml_reading_test, deep_nesting_is_cut_off_as_an_error) {
    EXPECT_EQ(depth_below(*parse_xml(nested(500)).root), 499);

    const xml_document document = parse_xml(nested(1000000));
    EXPECT_FALSE(document.well_formed);
    EXPECT_NE(document.error_text.find("nested"), std::string::npos) << document.error_text;
    ASSERT_TRUE(document.root);
    const int depth = depth_below(*document.root);
    EXPECT_GE(depth, 500);
    EXPECT_LT(depth, 100000);
    EXPECT_EQ(document.error_line, 1);
    EXPECT_EQ(document.error_column, 3 * (depth + 1) + 1);
}

TEST_F(xml_reading_test, entities_cannot_blow_up_or_reach_outside) {
    std::string laughs = "<!DOCTYPE r [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) {
            laughs += "&l" + std::to_string(i - 1) + ";";
        }
        laughs += "\">";
    }
    const xml_document bomb = parse_xml(laughs + "]><r>&l9;</r>");
    EXPECT_FALSE(bomb.well_formed);
    ASSERT_TRUE(bomb.root);
    EXPECT_LT(bomb.root->text.size(), 64u * 1024 * 1024);

    const std::string secret = write_file("secret.txt", "secret");
    const xml_document external = read_xml_file(write_file(
        "external.xml", "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + secret + "\">]><r>a&x;b</r>"));
    ASSERT_TRUE(external.root);
    EXPECT_EQ(external.root->text, "ab");
}

TEST_F(xml_reading_test, big_texts_are_read_whole) {
    const std::string big(5 * 1024 * 1024, 'x');
    const xml_document document = read_xml_file(write_file("big.xml", "<r>" + big + "</r>"));
    ASSERT_TRUE(document.root);
    EXPECT_EQ(document.root->text, big);
}

}  // namespace
}  // namespace quill
