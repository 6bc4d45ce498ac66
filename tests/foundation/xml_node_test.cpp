#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/small_helpers.h"
#include "foundation/xml_node.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::read_host_file;
using testing_support::write_host_file;

class XmlNodeTest : public DeviceTest {
protected:
    // Writes the bytes to "\My Documents\<name>" and loads that file.
    os::XmlNode load(const std::string& bytes, const std::string& name = "test.xml") {
        write_host_file(device.host_path("My Documents/" + name), bytes);
        return os::XmlNode::load_document(u"\\My Documents\\" + std::u16string(name.begin(), name.end()));
    }

    static std::vector<std::u16string> child_names(const os::XmlNode& node) {
        std::vector<std::u16string> names;
        for (int i = 0; i < node.get_child_count(); ++i) names.push_back(node.get_child(i).get_name());
        return names;
    }

    static std::u16string attribute(const os::XmlNode& node, const std::u16string& name) {
        std::u16string value = u"<absent>";
        node.get_attribute(name, value);
        return value;
    }
};

TEST_F(XmlNodeTest, AWrittenDocumentReadsBackTheSame) {
    std::u16string const awkward = u"<a & \"b\" 'c'> \u00E9\u4E2D\U0001F3B5 \t end ";
    {
        os::XmlNode const document = os::XmlNode::create_document();
        os::XmlNode const root = document.append_element(u"Bookmarks");
        for (int i = 0; i < 3; ++i) {
            os::XmlNode const mark = root.append_element(u"Bookmark");
            EXPECT_TRUE(liba::write_attribute_text(mark, u"Name", i == 1 ? awkward : u"plain"));
            EXPECT_TRUE(liba::write_attribute_int(mark, u"Position", -1000 * i));
            EXPECT_TRUE(liba::write_attribute_bool(mark, u"Play", i != 2));
        }
        EXPECT_TRUE(root.append_element(u"Title").set_text(u"Morning <news>"));
        ASSERT_TRUE(document.save_document(u"%my_documents%\\marks.bm"));
    }
    std::string const file = read_host_file(device.host_path("My Documents/marks.bm"));
    EXPECT_EQ(file.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << file;

    os::XmlNode const root = os::XmlNode::load_document(u"\\My Documents\\marks.bm").find_child(u"Bookmarks");
    ASSERT_TRUE(root.is_valid());
    ASSERT_EQ(child_names(root), (std::vector<std::u16string>{u"Bookmark", u"Bookmark", u"Bookmark", u"Title"}));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        os::XmlNode const mark = root.get_child(i);
        EXPECT_EQ(attribute(mark, u"Name"), i == 1 ? awkward : u"plain");
        EXPECT_EQ(attribute(mark, u"Play"), i != 2 ? u"true" : u"false");
        int position = 1;
        EXPECT_TRUE(liba::read_attribute_int(mark, u"Position", position));
        EXPECT_EQ(position, -1000 * i);
    }
    std::u16string title;
    EXPECT_TRUE(root.find_child(u"Title").get_text(title));
    EXPECT_EQ(title, u"Morning <news>");
}

TEST_F(XmlNodeTest, WhiteSpaceBetweenElementsMakesNoNodesButCommentsAndTextDo) {
    os::XmlNode const document = load(
        "<?xml version=\"1.0\"?>\n"
        "<!-- saved by hand -->\n"
        "<Bookmarks>\n"
        "    <Bookmark Name=\"one\"/>\n"
        "    <!-- the second -->\n"
        "    <Bookmark Name=\"two\"/>\n"
        "    stray text\n"
        "    <![CDATA[raw <data>]]>\n"
        "</Bookmarks>\n");
    ASSERT_TRUE(document.is_valid());
    EXPECT_EQ(document.get_name(), u"#document");
    EXPECT_EQ(child_names(document), (std::vector<std::u16string>{u"xml", u"#comment", u"Bookmarks"}));
    os::XmlNode const root = document.find_child(u"Bookmarks");
    EXPECT_EQ(child_names(root), (std::vector<std::u16string>{u"Bookmark", u"#comment", u"Bookmark", u"#text",
                                                              u"#cdata-section"}));
    std::u16string text;
    EXPECT_TRUE(root.get_child(1).get_text(text));
    EXPECT_EQ(text, u" the second ");
    EXPECT_TRUE(root.get_text(text));
    EXPECT_EQ(text, u"stray text\n    raw <data>");
    EXPECT_EQ(document.find_child(u"#comment").get_name(), u"#comment");
}

TEST_F(XmlNodeTest, FindChildComparesNamesExactly) {
    os::XmlNode const root = load("<Root><bookmark id='lower'/><BOOKMARK/><Bookmark id='exact'/></Root>")
                                 .find_child(u"Root");
    EXPECT_EQ(attribute(root.find_child(u"Bookmark"), u"id"), u"exact");
    EXPECT_EQ(attribute(root.find_child(u"bookmark"), u"id"), u"lower");
    EXPECT_FALSE(root.find_child(u"Bookmarks").is_valid());
    EXPECT_FALSE(root.find_child(u"").is_valid());
}

TEST_F(XmlNodeTest, MissingAndMalformedFilesGiveTheNullNode) {
    EXPECT_FALSE(os::XmlNode::load_document(u"\\My Documents\\missing.xml").is_valid());
    EXPECT_FALSE(os::XmlNode::load_document(u"\\My Documents").is_valid());
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case const cases[] = {
        {"empty file", ""},
        {"white space only", " \n\t "},
        {"unclosed element", "<a><b></b>"},
        {"mismatched end tag", "<a></b>"},
        {"cut inside a tag", "<a"},
        {"two root elements", "<a/><b/>"},
        {"text before the root", "text<a/>"},
        {"text after the root", "<a/>text"},
        {"attribute twice", "<a b='1' b='2'/>"},
        {"unquoted attribute", "<a b=1/>"},
        {"declaration after the root", "<a/><?xml version='1.0'?>"},
        {"plain text file", "TITLE= Hello\n"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(load(c.bytes).is_valid());
    }
}

TEST_F(XmlNodeTest, FilesInUtf16AndUtf8WithAByteOrderMarkLoad) {
    std::u16string const text = u"<Settings><Language Language=\"Fran\u00E7ais\u4E2D\"/></Settings>";
    std::string utf16le = "\xFF\xFE";
    for (char16_t const c : text) {
        utf16le += static_cast<char>(c & 0xFF);
        utf16le += static_cast<char>(c >> 8);
    }
    struct Case {
        const char* what;
        std::string bytes;
    };
    Case const cases[] = {
        {"UTF-16LE", utf16le},
        {"UTF-8 with mark", "\xEF\xBB\xBF<Settings><Language Language=\"Fran\xC3\xA7\x61is\xE4\xB8\xAD\"/></Settings>"},
        {"UTF-8", "<Settings><Language Language=\"Fran\xC3\xA7\x61is\xE4\xB8\xAD\"/></Settings>"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        os::XmlNode const language = load(c.bytes).find_child(u"Settings").find_child(u"Language");
        EXPECT_EQ(attribute(language, u"Language"), u"Fran\u00E7ais\u4E2D");
    }
}

TEST_F(XmlNodeTest, NoDocumentTypeOrExternalEntityIsRead) {
    write_host_file(device.host_path("secret.txt"), "SECRET");
    os::XmlNode const root = load(
        "<!DOCTYPE Settings [\n"
        "  <!ENTITY leak SYSTEM \"file:///secret.txt\">\n"
        "  <!ENTITY near SYSTEM \"../secret.txt\">\n"
        "  <!ATTLIST Settings Skin CDATA \"from the DTD\">\n"
        "]>\n"
        "<Settings Language=\"&near;\">&leak;</Settings>")
                                 .find_child(u"Settings");
    ASSERT_TRUE(root.is_valid());
    std::u16string text;
    root.get_text(text);
    EXPECT_EQ(text.find(u"SECRET"), std::u16string::npos);
    EXPECT_EQ(attribute(root, u"Language").find(u"SECRET"), std::u16string::npos);
    EXPECT_EQ(attribute(root, u"Skin"), u"<absent>");
}

TEST_F(XmlNodeTest, AbsentAttributesAndTheNullNodeLeaveOutValuesAlone) {
    os::XmlNode const root = load("<Play Volume='0.5' Mode='x'/>").find_child(u"Play");
    std::u16string text = u"default";
    EXPECT_FALSE(root.get_attribute(u"volume", text));
    EXPECT_FALSE(liba::read_attribute_text(root, u"Speed", text));
    EXPECT_EQ(text, u"default");
    int number = 7;
    EXPECT_FALSE(liba::read_attribute_int(root, u"Mode", number));
    EXPECT_EQ(number, 7);

    os::XmlNode const null;
    EXPECT_FALSE(null.get_attribute(u"Volume", text));
    EXPECT_FALSE(null.get_text(text));
    EXPECT_EQ(text, u"default");
    EXPECT_EQ(null.get_name(), u"");
    EXPECT_EQ(null.get_child_count(), 0);
    EXPECT_FALSE(null.get_child(0).is_valid());
    EXPECT_FALSE(null.find_child(u"Play").is_valid());
    EXPECT_FALSE(null.append_element(u"Play").is_valid());
    EXPECT_FALSE(null.set_attribute(u"Volume", u"1"));
    EXPECT_FALSE(null.set_text(u"x"));
    EXPECT_FALSE(null.save_document(u"\\My Documents\\null.xml"));
    EXPECT_FALSE(testing_support::host_file_exists(device.host_path("My Documents/null.xml")));
}

TEST_F(XmlNodeTest, ChangesThatTheTreeDoesNotTake) {
    os::XmlNode const document = os::XmlNode::create_document();
    os::XmlNode const root = document.append_element(u"Settings");
    ASSERT_TRUE(root.is_valid());
    EXPECT_FALSE(document.append_element(u"Second").is_valid()) << "one root element only";
    for (std::u16string const name : {u"", u"1st", u"two words", u"a<b", u"-x"}) {
        EXPECT_FALSE(root.append_element(name).is_valid());
        EXPECT_FALSE(root.set_attribute(name, u"v"));
    }
    EXPECT_FALSE(document.set_attribute(u"Version", u"1")) << "a document is no element";
    EXPECT_FALSE(document.set_text(u"text"));
    EXPECT_FALSE(root.save_document(u"\\My Documents\\root.xml")) << "only a document is saved";
    EXPECT_FALSE(document.save_document(u"\\No Such Folder\\settings.xml"));
    EXPECT_TRUE(document.save_document(u"\\My Documents\\settings.xml"));
    EXPECT_EQ(child_names(os::XmlNode::load_document(u"\\My Documents\\settings.xml")),
              (std::vector<std::u16string>{u"xml", u"Settings"}));
}

TEST_F(XmlNodeTest, ASaveThatFailsLeavesTheOldFileWhole) {
    std::string const host = device.host_path("My Documents/settings.xml");
    write_host_file(host, "<Settings old='1'/>");
    std::filesystem::permissions(host, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    os::XmlNode const document = os::XmlNode::create_document();
    document.append_element(u"Settings");
    EXPECT_FALSE(document.save_document(u"\\My Documents\\settings.xml"));
    EXPECT_EQ(read_host_file(host), "<Settings old='1'/>");
}

TEST_F(XmlNodeTest, ChildrenStayInOrderWhileTheListGrows) {
    os::XmlNode const root = os::XmlNode::create_document().append_element(u"List");
    for (int i = 0; i < 5; ++i) {
        liba::write_attribute_int(root.append_element(u"Entry"), u"n", i);
        ASSERT_EQ(root.get_child_count(), i + 1);
        for (int j = 0; j <= i; ++j) EXPECT_EQ(attribute(root.get_child(j), u"n"), liba::int_to_wstring(j));
    }
    EXPECT_EQ(attribute(root.get_child(2), u"n"), u"2") << "stepping back";
    EXPECT_FALSE(root.get_child(5).is_valid());
    EXPECT_FALSE(root.get_child(-1).is_valid());
}

TEST_F(XmlNodeTest, SetTextReplacesTheContentAndOldChildrenStayUsable) {
    os::XmlNode const root = load("<Entry>old <b>bold</b><!--note--></Entry>").find_child(u"Entry");
    os::XmlNode const bold = root.find_child(u"b");
    os::XmlNode const note = root.get_child(2);
    ASSERT_TRUE(root.set_text(u"new"));
    EXPECT_EQ(child_names(root), std::vector<std::u16string>{u"#text"});
    std::u16string text;
    EXPECT_TRUE(root.get_text(text));
    EXPECT_EQ(text, u"new");
    EXPECT_TRUE(bold.get_text(text));
    EXPECT_EQ(text, u"bold");
    EXPECT_TRUE(note.set_text(u"still a comment"));

    EXPECT_TRUE(root.set_text(u""));
    EXPECT_EQ(root.get_child_count(), 0);
    EXPECT_TRUE(root.get_text(text));
    EXPECT_EQ(text, u"");
}

TEST_F(XmlNodeTest, HandlesShareTheirNodeAndKeepTheDocumentAlive) {
    os::XmlNode element;
    {
        os::XmlNode const document = os::XmlNode::create_document();
        element = document.append_element(u"Settings");
    }
    os::XmlNode copy = element;
    EXPECT_TRUE(copy.set_attribute(u"Skin", u"Default"));
    EXPECT_EQ(attribute(element, u"Skin"), u"Default");
    os::XmlNode moved = std::move(copy);
    EXPECT_FALSE(copy.is_valid());
    copy = moved;
    os::XmlNode& same = copy;  // self-assignment, through a second name
    copy = same;
    EXPECT_EQ(copy.get_name(), u"Settings");
}

TEST(XmlAttributeText, BoolTexts) {
    struct Case {
        std::u16string text;
        bool read;
        bool value;
    };
    Case const cases[] = {
        {u"true", true, true},   {u"false", true, false}, {u"True", true, true},  {u"False", true, false},
        {u"TRUE", true, true},   {u"FALSE", true, false}, {u"1", true, true},     {u"0", true, false},
        {u"tRUE", false, false}, {u"yes", false, false},  {u" true", false, false}, {u"", false, false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        bool value = !c.value;
        bool const start = value;
        EXPECT_EQ(liba::wstring_to_bool(c.text, value), c.read);
        EXPECT_EQ(value, c.read ? c.value : start);
    }
}

TEST(XmlAttributeText, IntegerTexts) {
    struct Case {
        std::u16string text;
        bool read;
        int value;
    };
    Case const cases[] = {
        {u"42", true, 42}, {u" -17", true, -17}, {u"+8", true, 8}, {u"12abc", true, 12},
        {u"", false, 99},  {u"abc", false, 99},  {u"-", false, 99},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        int value = 99;
        EXPECT_EQ(liba::wstring_to_int(c.text, value), c.read);
        EXPECT_EQ(value, c.value);
    }
}

}  // namespace
