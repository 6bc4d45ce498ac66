#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/skin_format.h"
#include "skin/skin_image.h"
#include "skin/skin_validator.h"
#include "tests/skin/skin_fixture.h"

namespace {

namespace format = skinner::format;
using format::RecordType;
using skin_test::FixedWorkArea;

// Where the damage goes: the sample's form Main, its control btnPlay and its kind tree.
struct Places {
    std::uint32_t main = 0;
    std::uint32_t play = 0;
    std::uint32_t kinds = 0;
};

class SkinValidatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        good = skin_test::compile_sample();
        FixedWorkArea area({240, 268});
        auto skin = skin_test::load(good);
        ASSERT_TRUE(skin->is_valid());
        places.main = skin->select_form(u"Main");
        places.play = skin->find_control(places.main, u"btnPlay");
        places.kinds = skin->get_image().kind_root();
    }

    static void put16(std::vector<std::uint8_t>& image, std::uint32_t at, std::uint32_t value) {
        image[at] = static_cast<std::uint8_t>(value);
        image[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    static void put32(std::vector<std::uint8_t>& image, std::uint32_t at, std::uint32_t value) {
        put16(image, at, value & 0xFFFF);
        put16(image, at + 2, value >> 16);
    }
    static std::uint32_t get32(const std::vector<std::uint8_t>& image, std::uint32_t at) {
        return skinner::SkinImage(image.data(), static_cast<std::uint32_t>(image.size())).u32(at);
    }
    static std::uint32_t first_record(const std::vector<std::uint8_t>& image, std::uint32_t node, RecordType type) {
        return get32(image, node + format::array_begin(type));
    }

    std::vector<std::uint8_t> good;
    Places places;
};

TEST_F(SkinValidatorTest, EveryOffsetCountAndIndexIsCheckedAtLoad) {
    using Damage = std::function<void(std::vector<std::uint8_t>&, const Places&)>;
    struct Case {
        const char* what;
        Damage damage;
    };
    auto size_of = [](const std::vector<std::uint8_t>& i) { return static_cast<std::uint32_t>(i.size()); };
    Case const cases[] = {
        {"form tree beyond the image", [&](auto& i, auto&) { put32(i, format::form_tree_offset, size_of(i) + 4); }},
        {"kind tree cut by the image's end", [&](auto& i, auto&) { put32(i, format::kind_tree_offset, size_of(i) - 20); }},
        {"node name beyond the image", [&](auto& i, auto& p) { put32(i, p.main + format::node_name, size_of(i) + 2); }},
        {"node name unterminated", [&](auto& i, auto& p) { put32(i, p.main + format::node_name, size_of(i) - 1); }},
        {"record array ends before it begins",
         [&](auto& i, auto& p) {
             std::uint32_t begin = get32(i, p.play + format::array_begin(RecordType::integer));
             put32(i, p.play + format::array_end(RecordType::integer), begin - 8);
         }},
        {"record array beyond the image",
         [&](auto& i, auto& p) { put32(i, p.play + format::array_end(RecordType::string), size_of(i) * 4 + 4); }},
        {"record array of part records",
         [&](auto& i, auto& p) {
             std::uint32_t begin = get32(i, p.play + format::array_begin(RecordType::picture));
             put32(i, p.play + format::array_end(RecordType::picture), begin + 30);
         }},
        {"record arrays overlapping",
         [&](auto& i, auto& p) {
             std::uint32_t begin = get32(i, p.play + format::array_begin(RecordType::string));
             put32(i, p.play + format::array_begin(RecordType::string), begin + 4);
             put32(i, p.play + format::array_end(RecordType::string), begin + 8);
             put32(i, p.main + format::array_begin(RecordType::string), begin);
             put32(i, p.main + format::array_end(RecordType::string), begin + 8);
         }},
        {"16-bit property name beyond the image",
         [&](auto& i, auto& p) { put16(i, first_record(i, p.play, RecordType::integer), 0xFFFF); }},
        {"16-bit property name 0",
         [&](auto& i, auto& p) { put16(i, first_record(i, p.play, RecordType::integer), 0); }},
        {"string value unterminated",
         [&](auto& i, auto& p) { put16(i, first_record(i, p.play, RecordType::string) + 2, size_of(i) - 1); }},
        {"picture count beyond the name pool", [&](auto& i, auto&) { put32(i, format::picture_count_offset, 1000000); }},
        {"font count beyond the name pool", [&](auto& i, auto&) { put32(i, format::font_count_offset, 0x7FFFFFFF); }},
        {"name pool beyond the image", [&](auto& i, auto&) { put32(i, format::name_pool_offset, size_of(i)); }},
        {"picture index beyond the list",
         [&](auto& i, auto& p) { i[first_record(i, p.play, RecordType::picture) + 18] = 2; }},
        {"font index beyond the list",
         [&](auto& i, auto& p) { put32(i, first_record(i, p.play, RecordType::font) + 4, 2); }},
        {"automatic controls beyond the image",
         [&](auto& i, auto& p) { put32(i, p.main + format::node_auto_count, 0x40000000); }},
        {"automatic control kind beyond the image",
         [&](auto& i, auto& p) { put16(i, p.main + format::node_auto_pairs + 2, 0xFFFF); }},
        {"form tree with a cycle", [&](auto& i, auto&) {
             std::uint32_t root = get32(i, format::form_tree_offset);
             put32(i, root + format::node_left, root);
         }},
        {"control tree that leads back to its root",
         [&](auto& i, auto& p) { put32(i, p.play + format::node_right, get32(i, p.main + format::node_child_tree)); }},
        {"kind tree that leads back to its root", [&](auto& i, auto& p) { put32(i, p.kinds + format::node_right, p.kinds); }},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> image = good;
        c.damage(image, places);
        skinner::SkinValidator validator(skinner::SkinImage(image.data(), static_cast<std::uint32_t>(image.size())));
        EXPECT_FALSE(validator.validate());
        EXPECT_FALSE(validator.get_problem().empty());
        EXPECT_FALSE(skin_test::load(image)->is_valid());
    }
}

TEST_F(SkinValidatorTest, ACompiledImageAndSharedWholeArraysAreAccepted) {
    skinner::SkinValidator validator(skinner::SkinImage(good.data(), static_cast<std::uint32_t>(good.size())));
    EXPECT_TRUE(validator.validate()) << validator.get_problem();
    std::vector<std::uint8_t> shared = good;
    for (std::uint32_t field : {format::array_begin(RecordType::string), format::array_end(RecordType::string)}) {
        put32(shared, places.main + field, get32(shared, places.play + field));
    }
    skinner::SkinValidator sharing(skinner::SkinImage(shared.data(), static_cast<std::uint32_t>(shared.size())));
    EXPECT_TRUE(sharing.validate()) << sharing.get_problem();
}

TEST_F(SkinValidatorTest, TreesDeeperThanTheLimitAreRefused) {
    // 1100 kinds whose tree is a chain: each node's right child is the next.
    std::string body;
    for (int index = 0; index < 1100; ++index) body += "<kind name=\"K" + std::to_string(10000 + index) + "\"/>";
    std::vector<std::uint8_t> image = skin_test::compile(body);
    skinner::SkinImage view(image.data(), static_cast<std::uint32_t>(image.size()));
    std::vector<std::uint32_t> nodes;
    // Compiled kind nodes lie one after another in name order.
    std::uint32_t first = view.kind_root();
    while (view.left(first) != 0) first = view.left(first);
    for (int index = 0; index < 1100; ++index) nodes.push_back(first + index * format::node_size);
    for (std::size_t index = 0; index < nodes.size(); ++index) {
        put32(image, nodes[index] + format::node_left, 0);
        put32(image, nodes[index] + format::node_right, index + 1 < nodes.size() ? nodes[index + 1] : 0);
    }
    put32(image, format::kind_tree_offset, nodes[0]);
    skinner::SkinValidator validator(skinner::SkinImage(image.data(), static_cast<std::uint32_t>(image.size())));
    EXPECT_FALSE(validator.validate());
    EXPECT_NE(validator.get_problem().find("deeper"), std::string::npos) << validator.get_problem();
}

}  // namespace
