// desk-resgen: writes every image, sound and support file of the client into one folder, and
// every image again at twice the size into its hd/ folder (the same drawing at drawing scale 2).
//   desk-resgen <output dir>
// The output depends only on this program and the Debian fonts it reads, so running it again
// gives the same files; they are committed under resources/.

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/resgen/AudioFiles.h"
#include "tools/resgen/IconFile.h"
#include "tools/resgen/Pictures.h"
#include "tools/resgen/ShippedFiles.h"
#include "tools/resgen/Sounds.h"

namespace {

using namespace resgen;

struct Picture {
    const char* file;
    std::function<Canvas()> build;
};

const std::vector<Picture>& pictures() {
    static const std::vector<Picture> list = {
        {"poker_flower.png", suitSheet},
        {"poker_num.png", rankSheet},
        {"poker_surface.png", surfaceSheet},
        {"login.png", [] { return inputField(""); }},
        {"nick.png", [] { return inputField("昵称"); }},
        {"pass.png", [] { return inputField("密码"); }},
        {"rpass.png", [] { return inputField("确认密码"); }},
        {"sep.png", separator},
        {"add_desk_bg.png", joinBar},
        {"sucai.png", panelSheet},
        {"poker_play_card.png", playCardSheet},
        {"zhunbei.png", readyBadge},
        {"bj.png", tableBackground},
        {"add_desk_fast.png",
         [] { return textButton("快速加入", 260, 88, palette::kGoldButton, false); }},
        {"add_desk_fast_press.png",
         [] { return textButton("快速加入", 260, 88, palette::kGoldButton, true); }},
        {"ready.png", [] { return textButton("准备", 190, 76, palette::kGreenButton, false); }},
        {"ready_press.png",
         [] { return textButton("准备", 190, 76, palette::kGreenButton, true); }},
        {"put.png", [] { return textButton("出牌", 190, 76, palette::kGoldButton, false); }},
        {"put_press.png", [] { return textButton("出牌", 190, 76, palette::kGoldButton, true); }},
        {"noput.png", [] { return textButton("不出", 190, 76, palette::kBlueButton, false); }},
        {"noput_press.png", [] { return textButton("不出", 190, 76, palette::kBlueButton, true); }},
        {"reconnect.png",
         [] { return textButton("重新连接", 260, 88, palette::kRedButton, false); }},
        {"reconnect_press.png",
         [] { return textButton("重新连接", 260, 88, palette::kRedButton, true); }},
        {"return.png", [] { return returnButton(60, false); }},
        {"return_press.png", [] { return returnButton(60, true); }},
        {"num.png", digitStrip},
        {"hint.png", [] { return textButton("提示", 190, 76, palette::kRedButton, false); }},
        {"hint_press.png", [] { return textButton("提示", 190, 76, palette::kRedButton, true); }},
        {"tracker.png", [] { return trackerButton(44, false); }},
        {"tracker_press.png", [] { return trackerButton(44, true); }},
        {"tracker_panel.png", [] { return darkPanel(392, 48); }},
        {"notice.png", [] { return darkPanel(300, 48); }},
        {"auto.png", [] { return textButton("托管", 96, 44, palette::kBlueButton, false); }},
        {"auto_press.png", [] { return textButton("托管", 96, 44, palette::kBlueButton, true); }},
        {"cancel_auto.png",
         [] { return textButton("取消托管", 140, 46, palette::kRedButton, false); }},
        {"cancel_auto_press.png",
         [] { return textButton("取消托管", 140, 46, palette::kRedButton, true); }},
        {"auto_banner.png", [] { return darkPanel(440, 56); }},
        {"last_trick.png",
         [] { return textButton("上一轮", 96, 44, palette::kBlueButton, false); }},
        {"last_trick_press.png",
         [] { return textButton("上一轮", 96, 44, palette::kBlueButton, true); }},
        {"last_trick_board.png", [] { return darkPanel(1010, 490, 0.96f); }},
        {"settings.png", [] { return settingsButton(48, false); }},
        {"settings_press.png", [] { return settingsButton(48, true); }},
        {"settings_panel.png", [] { return settingsBoard(420, 330); }},
        {"settings_board.png", [] { return settingsBoard(420, 410); }},
        {"field_box.png", [] { return fieldBox(232, 38); }},
        {"switch_on.png", [] { return settingsSwitch(76, 36, true); }},
        {"switch_off.png", [] { return settingsSwitch(76, 36, false); }},
        {"volume_down.png", [] { return volumeStep(40, false); }},
        {"volume_up.png", [] { return volumeStep(40, true); }},
        {"volume_bar.png", [] { return volumeBar(14, 26); }},
        {"record.png", [] { return textButton("战绩", 96, 44, palette::kBlueButton, false); }},
        {"record_press.png",
         [] { return textButton("战绩", 96, 44, palette::kBlueButton, true); }},
        {"record_panel.png", [] { return settingsBoard(900, 660); }},
        {"tab_record.png", [] { return textButton("战绩", 140, 46, palette::kBlueButton, false); }},
        {"tab_record_on.png",
         [] { return textButton("战绩", 140, 46, palette::kGoldButton, true); }},
        {"tab_leaderboard.png",
         [] { return textButton("排行榜", 140, 46, palette::kBlueButton, false); }},
        {"tab_leaderboard_on.png",
         [] { return textButton("排行榜", 140, 46, palette::kGoldButton, true); }},
        {"close.png", [] { return textButton("关闭", 110, 46, palette::kRedButton, false); }},
        {"close_press.png", [] { return textButton("关闭", 110, 46, palette::kRedButton, true); }},
        {"talk.png", [] { return textButton("聊天", 96, 44, palette::kGreenButton, false); }},
        {"talk_press.png",
         [] { return textButton("聊天", 96, 44, palette::kGreenButton, true); }},
        {"talk_panel.png", [] { return settingsBoard(470, 300); }},
        {"talk_phrase.png", [] { return textButton("", 214, 40, palette::kBlueButton, false); }},
        {"talk_phrase_press.png",
         [] { return textButton("", 214, 40, palette::kBlueButton, true); }},
        {"talk_bubble.png", [] { return darkPanel(250, 44); }},
        {"emote_smile.png", [] { return emoteFace(48, Emote::Smile); }},
        {"emote_laugh.png", [] { return emoteFace(48, Emote::Laugh); }},
        {"emote_surprised.png", [] { return emoteFace(48, Emote::Surprised); }},
        {"emote_sad.png", [] { return emoteFace(48, Emote::Sad); }},
        {"emote_angry.png", [] { return emoteFace(48, Emote::Angry); }},
        {"emote_cool.png", [] { return emoteFace(48, Emote::Cool); }},
        {"icon.png", [] { return appIcon(); }},
    };
    return list;
}

bool writeSounds(const std::string& dir) {
    bool ok = writeWav(dir + "/cp.wav", cardSnap());
    ok = writeWav(dir + "/at.wav", tripleSlam()) && ok;
    ok = writeWav(dir + "/bg.wav", dealRiffle()) && ok;
    ok = writeWav(dir + "/jg.wav", warningTick()) && ok;
    ok = writeWav(dir + "/turn.wav", turnChime()) && ok;
    ok = writeWav(dir + "/tick.wav", softTick()) && ok;
    ok = writeWav(dir + "/talk.wav", talkPop()) && ok;
    ok = writeMp3(dir + "/3.mp3", fourOfAKind(), {}, 96) && ok;
    ok = writeMp3(dir + "/boom.mp3", bomb(), {}, 96) && ok;
    ok = writeMp3(dir + "/by.mp3", passSound(), {}, 96) && ok;
    ok = writeMp3(dir + "/win.mp3", winJingle(), {}, 96) && ok;
    ok = writeMp3(dir + "/lose.mp3", loseJingle(), {}, 96) && ok;
    Stereo music = backgroundMusic();
    ok = writeMp3(dir + "/bj.mp3", music.left, music.right, 112) && ok;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: desk-resgen <output dir>\n");
        return 2;
    }
    const std::string out = argv[1];
    std::error_code ec;
    for (const char* sub : {"", "/hd", "/sound", "/config", "/fonts"}) {
        std::filesystem::create_directories(out + sub, ec);
        if (ec) {
            std::fprintf(stderr, "desk-resgen: cannot create %s%s: %s\n", out.c_str(), sub,
                         ec.message().c_str());
            return 1;
        }
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "desk-resgen: SDL_ttf: %s\n", TTF_GetError());
        return 1;
    }
    int failures = 0;
    for (const auto& [scale, folder] : {std::pair{1, ""}, std::pair{2, "/hd"}}) {
        setDrawScale(scale);
        for (const Picture& p : pictures()) {
            const std::string path = out + folder + "/" + p.file;
            if (!p.build().savePng(path)) {
                std::fprintf(stderr, "desk-resgen: cannot write %s: %s\n", path.c_str(),
                             SDL_GetError());
                ++failures;
            }
        }
    }
    if (!writeIconFile(out + "/icon.ico")) {
        std::fprintf(stderr, "desk-resgen: cannot write icon.ico: %s\n", SDL_GetError());
        ++failures;
    }
    TTF_Quit();
    if (!writeSounds(out + "/sound")) {
        std::fprintf(stderr, "desk-resgen: cannot write the sounds\n");
        ++failures;
    }
    if (!writeStringsPlist(out + "/config/strings.plist")) {
        std::fprintf(stderr, "desk-resgen: cannot write config/strings.plist\n");
        ++failures;
    }
    if (!copyFont(out + "/fonts")) {
        std::fprintf(stderr, "desk-resgen: cannot copy the font and its licence\n");
        ++failures;
    }
    if (failures > 0) return 1;
    std::printf(
        "desk-resgen: wrote %zu pictures (and their double size in hd/), the icon file, 13 sounds, "
        "the font and the configuration to %s\n",
        pictures().size(), out.c_str());
    return 0;
}
