#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>

#include "content/level_loading.h"
#include "live_map/live_messages.h"
#include "savegame/party_setup_file.h"
#include "support/content_fixture.h"

namespace quill {
namespace {

using testing::content_fixture;

QJsonObject parsed(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

// A level of two players with one kind of tombstone and of transport.
struct live_messages : ::testing::Test {
    content_fixture content;
    game_state& state = content.state;
    scripted_platform& system = content.system;

    void SetUp() override {
        content.write_level("Tal", 600, 400, 40, 40, 40);
        content.write_players({{255, 200, 0, 0}, {255, 0, 0, 200}}, 40);
        content.write_kinds("graves", "g", {{255, 90, 90, 90}}, 40, 40);
        content.write_kinds("transports", "t", {{255, 0, 200, 200}}, 40, 40);
        load_level(state, system, {});
    }

    live_view view() { return take_live_view(state, system.pictures()); }

    // What a page is told of the change; empty when nothing.
    QJsonObject told(const std::function<void()>& change) {
        const live_view before = view();
        change();
        const std::optional<std::string> message = change_message(before, view());
        return message ? parsed(*message) : QJsonObject{};
    }

    void place_tombstone(int x, int y, const std::string& text) {
        map_item grave;
        grave.x = x;
        grave.y = y;
        grave.label = find_free_label(state);
        state.labels.set(grave.label, text);
        state.graves.add(grave);
    }
};

TEST_F(live_messages, a_page_that_connects_gets_the_whole_game) {
    place_tombstone(100, 120, "RIP Borin");
    const QJsonObject full = parsed(full_message(view()));
    EXPECT_EQ(full["type"], "full");
    EXPECT_EQ(full["name"], "Tal");
    EXPECT_EQ(full["map"].toObject()["width"], 600);
    EXPECT_EQ(full["map"].toObject()["top"], 2);
    EXPECT_EQ(full["pictures"].toObject().keys(), (QStringList{"g0", "m", "p0", "p1", "r0"}));
    EXPECT_EQ(full["pictures"].toObject()["p1"].toObject()["width"], 40);
    EXPECT_EQ(full["tokens"], parsed(R"({"a":[[25,20,"p0",0],[65,20,"p1",0]]})")["a"]);
    EXPECT_EQ(full["graves"], parsed(R"({"a":[[100,120,"g0",1]]})")["a"]);
    EXPECT_EQ(full["labels"], parsed(R"({"1":"RIP Borin"})"));
    EXPECT_EQ(full["marker"], QJsonValue::Null);
}

// Each kind of change is told by what it changed, and nothing else.
TEST_F(live_messages, each_change_is_told_by_what_it_changed) {
    EXPECT_EQ(told([&] { state.tokens[1].x += 30; }),
              parsed(R"({"type":"changes","tokens":{"length":2,"set":{"1":[95,20,"p1",0]}}})"));
    EXPECT_EQ(told([&] { place_tombstone(100, 120, "RIP Borin"); }),
              parsed(R"({"type":"changes","graves":{"length":1,"set":{"0":[100,120,"g0",1]}},
                         "labels":{"1":"RIP Borin"}})"));

    state.history.begin_step(state);
    map_item transport;
    transport.x = 300;
    state.transports.add(transport);
    state.transports.select(0);
    state.drag_mode = drag_kind::drag_transport;
    EXPECT_EQ(told([] {}), QJsonObject{});
    state.drag_mode = drag_kind::drag_none;
    state.history.end_step(state);
    EXPECT_EQ(told([&] { state.history.undo(state); }),
              parsed(R"({"type":"changes","transports":{"length":0,"set":{}}})"));

    EXPECT_EQ(told([&] {
                  state.marker.active = true;
                  state.marker.x = 50;
                  state.marker.y = 60;
                  state.marker.start_time = 5000;
              }),
              parsed(R"({"type":"changes","marker":{"x":50,"y":60,"serial":5000}})"));
    // A marker that ran out is no change, nor is a redraw or a hover label.
    EXPECT_EQ(told([&] {
                  state.marker.active = false;
                  state.hover.text = "RIP Borin";
              }),
              QJsonObject{});

    const picture_handle old_icon = state.player_catalogue[0].image;
    const QJsonObject icons = told([&] {
        state.player_catalogue[0].image = system.pictures().create(48, 48, {1, 2, 3});
    });
    system.pictures().free(old_icon);
    EXPECT_EQ(icons.keys().join(",").toStdString(), "pictures,type");
    EXPECT_EQ(icons["pictures"].toObject().keys(), QStringList{"p0"});
    EXPECT_EQ(icons["pictures"].toObject()["p0"].toObject()["width"], 48);
}

// A new or loaded game replaces the map and everything on it.
TEST_F(live_messages, a_new_or_loaded_game_is_told_whole) {
    place_tombstone(100, 120, "RIP Borin");
    state.tokens[0].x = 200;
    ASSERT_TRUE(write_party_file(state, content.path("spiel.qms")));
    state.tokens[0].x = 400;

    const QJsonObject fresh = told([&] { load_level(state, system, {}); });
    EXPECT_EQ(fresh.keys(), (QStringList{"graves", "labels", "map", "pictures", "tokens", "type"}));
    EXPECT_EQ(fresh["tokens"], parsed(R"({"length":2,"set":{"0":[25,20,"p0",0]}})"));
    EXPECT_EQ(fresh["labels"], parsed(R"({"1":""})"));

    const QJsonObject loaded =
        told([&] { ASSERT_TRUE(read_party_setup(state, system, content.path("spiel.qms"))); });
    EXPECT_EQ(loaded["tokens"], parsed(R"({"length":2,"set":{"0":[200,20,"p0",0]}})"));
    EXPECT_EQ(loaded["graves"], parsed(R"({"length":1,"set":{"0":[100,120,"g0",1]}})"));
    EXPECT_EQ(loaded["labels"], parsed(R"({"1":"RIP Borin"})"));
    EXPECT_TRUE(loaded.contains("map"));
}

}  // namespace
}  // namespace quill
