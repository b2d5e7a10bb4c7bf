#include "platform/xml_document.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>

#include <string>

#include "support/file_size_limit.h"

namespace quill {
namespace {

xml_element leaf(std::string name, std::string text) {
    xml_element element;
    element.name = std::move(name);
    element.text = std::move(text);
    return element;
}

xml_element player(std::string name, std::string id, std::string pic, std::string comment) {
    xml_element element;
    element.name = "player";
    element.children = {leaf("name", std::move(name)), leaf("id", std::move(id)),
                        leaf("pic", std::move(pic)), leaf("comment", std::move(comment))};
    return element;
}

std::string read_bytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<unreadable>";
    }
    return file.readAll().toStdString();
}

TEST(xml_writing, player_catalogue_layout) {
    xml_element players;
    players.name = "players";
    players.children = {player("Anna & Bo", "p1", "a.png", ""), player("Jörg", "", "", "€")};
    EXPECT_EQ(format_xml(players),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<players>\r\n"
              "  <player>\r\n"
              "    <name>Anna &amp; Bo</name>\r\n"
              "    <id>p1</id>\r\n"
              "    <pic>a.png</pic>\r\n"
              "    <comment/>\r\n"
              "  </player>\r\n"
              "  <player>\r\n"
              "    <name>J\xC3\xB6rg</name>\r\n"
              "    <id/>\r\n"
              "    <pic/>\r\n"
              "    <comment>\xE2\x82\xAC</comment>\r\n"
              "  </player>\r\n"
              "</players>\r\n");

    xml_element empty;
    empty.name = "players";
    EXPECT_EQ(format_xml(empty), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<players/>\r\n");
}

TEST(xml_writing, indentation_line_break_attributes_and_escapes) {
    xml_element root;
    root.name = "r";
    root.attributes = {{"b", "say \"<hi>\" & go"}, {"a", "1"}};
    xml_element middle = leaf("m", "");
    middle.attributes = {{"k", "v"}};
    middle.children = {leaf("t", "\"quoted\" <x> 'single' & more")};
    root.children = {middle, leaf("e", "")};
    root.children[1].attributes = {{"z", ""}};
    EXPECT_EQ(format_xml(root, 4, "\n"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<r b=\"say &quot;&lt;hi&gt;&quot; &amp; go\" a=\"1\">\n"
              "    <m k=\"v\">\n"
              "        <t>\"quoted\" &lt;x&gt; 'single' &amp; more</t>\n"
              "    </m>\n"
              "    <e z=\"\"/>\n"
              "</r>\n");
}

TEST(xml_writing, reading_the_output_gives_the_same_tree) {
    xml_element root;
    root.name = "players";
    root.children = {player("Anna & Bo <3", "p\"1'", "ä ö.png", ""),
                     player("\n42", " two  blanks ", "x\r\ny", "tab\there")};
    root.children[1].attributes = {{"note", "a\tb\nc\r\"d\""}};
    // Control characters other than tab and line breaks cannot be carried by XML at all.
    root.children.push_back(leaf("only", std::string("]]> & \x01]]>\x1F", 11)));

    const xml_document read = parse_xml(format_xml(root));
    ASSERT_TRUE(read.well_formed) << read.error_text;
    ASSERT_TRUE(read.root);
    ASSERT_EQ(read.root->children.size(), root.children.size());
    for (std::size_t i = 0; i < root.children.size(); ++i) {
        const xml_element& written = root.children[i];
        const xml_element& back = read.root->children[i];
        EXPECT_EQ(back.name, written.name);
        ASSERT_EQ(back.attributes.size(), written.attributes.size());
        for (std::size_t a = 0; a < written.attributes.size(); ++a) {
            EXPECT_EQ(back.attributes[a].value, written.attributes[a].value);
        }
        if (written.children.empty()) {
            EXPECT_EQ(back.text, i == 2 ? "]]> & ]]>" : written.text);
        }
        ASSERT_EQ(back.children.size(), written.children.size());
        for (std::size_t c = 0; c < written.children.size(); ++c) {
            EXPECT_EQ(back.children[c].name, written.children[c].name);
            EXPECT_EQ(back.children[c].text, written.children[c].text);
        }
    }
}

TEST(xml_writing, layout_of_a_read_file_is_replaced_and_mixed_text_kept) {
    const std::string pretty =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<players>\r\n  <player>\r\n"
        "    <name>Anna</name>\r\n  </player>\r\n</players>\r\n";
    EXPECT_EQ(format_xml(*parse_xml(pretty).root), pretty);
    EXPECT_EQ(format_xml(*parse_xml("<p>\n before <c/>after </p>").root, 1, "\n"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p>\n before after \n <c/>\n</p>\n");
}

class xml_saving : public ::testing::Test {
protected:
    QTemporaryDir dir_;
};

TEST_F(xml_saving, writes_exactly_the_formatted_document_and_replaces_the_old_file) {
    const QString path = dir_.filePath("players.xml");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(std::string(1000, 'x').c_str());
    }
    xml_element players;
    players.name = "players";
    players.children = {player("Jörg", "p1", "j.png", "")};
    EXPECT_TRUE(save_xml_file(path.toStdString(), players));
    EXPECT_EQ(read_bytes(path), format_xml(players));
}

TEST_F(xml_saving, missing_directory_fails) {
    xml_element root = leaf("players", "");
    EXPECT_FALSE(save_xml_file(dir_.filePath("missing/players.xml").toStdString(), root));
    EXPECT_FALSE(save_xml_file(dir_.path().toStdString(), root));
}

TEST_F(xml_saving, a_file_cut_off_by_a_full_disk_fails_and_keeps_the_old_file) {
    const QString path = dir_.filePath("players.xml");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    bool saved = true;
    {
        const testing::file_size_limit limit(16);
        saved = save_xml_file(path.toStdString(), leaf("players", std::string(200, 'x')));
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(read_bytes(path), "old");
}

TEST_F(xml_saving, read_only_directory_fails_and_keeps_the_old_file) {
    const QString path = dir_.filePath("players.xml");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(dir_.filePath("probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        QFile::setPermissions(
            dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "this user may write into read-only directories";
    }
    const bool saved = save_xml_file(path.toStdString(), leaf("players", ""));
    QFile::setPermissions(dir_.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(saved);
    EXPECT_EQ(read_bytes(path), "old");
}

}  // namespace
}  // namespace quill
