#include "scenes/desk/CDeskSeats.h"

#include <algorithm>

#include "engine/Engine.h"
#include "net/Message.h"
#include "scenes/common/SceneWidgets.h"
#include "wire/GameConstants.h"

using namespace engine;

namespace {

// The 离线 and 托管 tags: small, right of the name's centre, one beside the other.
constexpr float kTagSize = 13;
constexpr float kTagOffsetX = 40;
constexpr float kTagStep = 32;
const Color3B kAwayColour(190, 190, 190);
const Color3B kAutoColour(255, 190, 70);

// Where the elements of one screen position stand (W x H the visible size, Nh the height of the
// "nickname" frame). The ready, over and pass markers share one spot, except that the left seat's
// over marker takes its countdown's spot. The row origin of played cards is truncated toward zero.
//
//   element    0 bottom         1 right           2 top                 3 left
//   name       (W/2-35, Nh/2)   (W-135, Nh+600)   (W/2-35, H-Nh/2)      (70, Nh+600)
//   name z     30               3                 3                     3
//   count      hidden           (W-135, Nh+585)   (W/2-35, H-Nh/2-15)   (70, Nh+585)
//   countdown  (W/2+300, 200)   (W/2+260, 600)    (W/2+140, H-Nh/2-20)  (W/2-280, 600)
//   markers    (W/2, H/2-200)   (W/2+350, H/2)    (W/2, H/2+200)        (W/2-350, H/2)
//   row        (W/2-200, 250)   (W/2, H/2)        (W/2-200, H/2+200)    (0, H/2)
struct SeatPlaces {
    Vec2 name;
    int nameZ = 3;
    Vec2 count;
    Vec2 countdown;
    Vec2 ready;
    Vec2 over;
    Vec2 pass;
    int playX = 0;  // truncated toward zero
    int playY = 0;
};

SeatPlaces seatPlaces(int position, float W, float H, float Nh) {
    SeatPlaces at;
    switch (position) {
        case 0:
            at.name = Vec2(W / 2 - 35, Nh / 2);
            at.nameZ = 30;
            at.countdown = Vec2(W / 2 + 300, 200);
            at.ready = Vec2(W / 2, H / 2 - 200);
            at.over = at.ready;
            at.playX = static_cast<int>(W / 2 - 200);
            at.playY = 250;
            break;
        case 1:
            at.name = Vec2(W - 135, Nh + 600);
            at.count = Vec2(W - 135, Nh + 585);
            at.countdown = Vec2(W / 2 + 260, 600);
            at.ready = Vec2(W / 2 + 350, H / 2);
            at.over = at.ready;
            at.playX = static_cast<int>(W / 2);
            at.playY = static_cast<int>(H / 2);
            break;
        case 2:
            at.name = Vec2(W / 2 - 35, H - Nh / 2);
            at.count = Vec2(W / 2 - 35, H - Nh / 2 - 15);
            at.countdown = Vec2(W / 2 + 140, H - Nh / 2 - 20);
            at.ready = Vec2(W / 2, H / 2 + 200);
            at.over = at.ready;
            at.playX = static_cast<int>(W / 2 - 200);
            at.playY = static_cast<int>(H / 2 + 200);
            break;
        default:
            at.name = Vec2(70, Nh + 600);
            at.count = Vec2(70, Nh + 585);
            at.countdown = Vec2(W / 2 - 280, 600);
            at.ready = Vec2(W / 2 - 350, H / 2);
            at.over = at.countdown;
            at.playX = 0;
            at.playY = static_cast<int>(H / 2);
            break;
    }
    at.pass = at.ready;
    return at;
}

}  // namespace

std::unique_ptr<CDeskSeats> CDeskSeats::create(Node& layer) {
    std::unique_ptr<CDeskSeats> seats(new CDeskSeats(layer));
    for (int position = 0; position < kSeatCount; ++position) {
        if (!seats->addSeat(position)) {
            return nullptr;
        }
    }
    return seats;
}

bool CDeskSeats::addSeat(int position) {
    const Size visible = Director::getInstance()->getVisibleSize();
    SpriteFrame* nickname = SpriteFrameCache::getInstance()->getSpriteFrameByName("nickname");
    const SeatPlaces at = seatPlaces(position, visible.width, visible.height,
                                     nickname != nullptr ? nickname->getOriginalSize().height : 0);

    auto seat = std::make_shared<st_player_info>();
    seat->name_label = makeTextLabel("", 15);
    seat->count_label = makeTextLabel("", 15);
    seat->countdown = LabelAtlas::create(std::to_string(kTurnSeconds), "num.png", 14, 21, '0');
    seat->ready_sprite = makeFrameSprite("zhunbei");
    seat->over_label = makeTextLabel("over", 15);
    seat->pass_label = makeTextLabel("pass", 15);
    seat->away_tag = makeTextLabel("离线", kTagSize);
    seat->auto_tag = makeTextLabel("托管", kTagSize);
    if (seat->name_label == nullptr || seat->count_label == nullptr || seat->countdown == nullptr ||
        seat->ready_sprite == nullptr || seat->over_label == nullptr ||
        seat->pass_label == nullptr || seat->away_tag == nullptr || seat->auto_tag == nullptr) {
        return false;
    }

    seat->name_label->setColor(Color3B::RED);
    seat->name_label->setPosition(at.name);
    m_layer.addChild(seat->name_label, at.nameZ);

    // The tags stand in a row right of the name's centre, hidden until presence says so.
    const std::pair<Label*, Color3B> tags[] = {{seat->away_tag, kAwayColour},
                                               {seat->auto_tag, kAutoColour}};
    float tagX = at.name.x + kTagOffsetX;
    for (const auto& [tag, colour] : tags) {
        tag->setColor(colour);
        tag->setAnchorPoint(Vec2(0, 0.5f));
        tag->setPosition(Vec2(tagX, at.name.y));
        tag->setVisible(false);
        m_layer.addChild(tag, at.nameZ);
        tagX += kTagStep;
    }

    if (position == 0) {
        seat->count_label->setVisible(false);
    } else {
        seat->count_label->setColor(Color3B::WHITE);
        seat->count_label->setPosition(at.count);
    }
    m_layer.addChild(seat->count_label, 0);

    seat->countdown->setPosition(at.countdown);
    seat->countdown->setVisible(false);
    m_layer.addChild(seat->countdown, 0);

    seat->ready_sprite->setPosition(at.ready);
    seat->ready_sprite->setVisible(false);
    m_layer.addChild(seat->ready_sprite, 0);

    seat->over_label->setColor(Color3B::RED);
    seat->over_label->setPosition(at.over);
    seat->over_label->setVisible(false);
    m_layer.addChild(seat->over_label, 0);

    seat->pass_label->setColor(Color3B::RED);
    seat->pass_label->setPosition(at.pass);
    seat->pass_label->setVisible(false);
    m_layer.addChild(seat->pass_label, 0);

    seat->play_x = at.playX;
    seat->play_y = at.playY;
    m_seats.push_back(std::move(seat));
    return true;
}

void CDeskSeats::map(int localSite) {
    m_localSite = localSite;
    // A local seat outside 0..3 names no seat: the desk then maps none and shows no seat's news.
    m_siteMap.clear();
    if (!isSeatNumber(localSite)) {
        return;
    }
    for (int position = 0; position < kSeatCount; ++position) {
        m_siteMap[(localSite + position) % kSeatCount] = m_seats[position];
    }
}

int CDeskSeats::positionOf(int site) const {
    return (site - m_localSite + kSeatCount) % kSeatCount;
}

st_player_info* CDeskSeats::seatOf(int site) const {
    const auto found = m_siteMap.find(site);
    return found != m_siteMap.end() ? found->second.get() : nullptr;
}

void CDeskSeats::forEach(const stMsg& msg, const Visit& visit) const {
    for (int site = 0; site < kSeatCount; ++site) {
        if (st_player_info* seat = seatOf(site)) {
            visit(site, *seat, msg.info[static_cast<std::size_t>(site)]);
        }
    }
}

bool CDeskSeats::seatFree() const {
    return std::any_of(m_seats.begin(), m_seats.end(),
                       [](const auto& seat) { return seat->name.empty(); });
}

void CDeskSeats::showNames(const stMsg& change, const std::function<void(int site)>& emptied) {
    forEach(change, [&emptied](int site, st_player_info& seat, const st_seat_info& entry) {
        seat.name_label->setString(entry.name);
        seat.name = entry.name;
        if (entry.name.empty()) {
            emptied(site);
        }
        seat.ready_sprite->setVisible(entry.ready == 1);
    });
}

void CDeskSeats::hideMarkers(st_player_info& seat) {
    seat.countdown->setVisible(false);
    seat.ready_sprite->setVisible(false);
    seat.over_label->setVisible(false);
    seat.pass_label->setVisible(false);
}

void CDeskSeats::hideReady() {
    for (const auto& entry : m_siteMap) {
        entry.second->ready_sprite->setVisible(false);
    }
}

void CDeskSeats::showCounts(const std::string& text, bool othersOnly) {
    for (const auto& entry : m_siteMap) {
        if (!othersOnly || entry.first != m_localSite) {
            entry.second->count_label->setString(text);
        }
    }
}

void CDeskSeats::showPresence(st_player_info& seat, const st_seat_info& entry) {
    seat.away_tag->setVisible(entry.away != 0);
    seat.auto_tag->setVisible(entry.auto_play != 0);
}
