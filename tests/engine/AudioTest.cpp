// SimpleAudioEngine forwards to the back end, which the headless one records.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class AudioTest : public HeadlessTest {};

TEST_F(AudioTest, CallsAreRecordedWithResourceNamesAndArguments) {
    SimpleAudioEngine* audio = SimpleAudioEngine::getInstance();
    audio->preloadBackgroundMusic("sound/bj.mp3");
    audio->preloadEffect("sound/cp.wav");
    audio->playBackgroundMusic("sound/bj.mp3", true);
    audio->playEffect("sound/cp.wav", false, 1.0f, 0.0f, 1.0f);
    audio->stopBackgroundMusic(false);
    const auto calls = headless::sounds();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].call, headless::SoundCall::PreloadMusic);
    EXPECT_EQ(calls[0].path, "sound/bj.mp3");
    EXPECT_EQ(calls[1].call, headless::SoundCall::PreloadEffect);
    EXPECT_EQ(calls[2].call, headless::SoundCall::PlayMusic);
    EXPECT_TRUE(calls[2].loop);
    EXPECT_EQ(calls[3].call, headless::SoundCall::PlayEffect);
    EXPECT_EQ(calls[3].path, "sound/cp.wav");
    EXPECT_FALSE(calls[3].loop);
    EXPECT_FLOAT_EQ(calls[3].pitch, 1.0f);
    EXPECT_FLOAT_EQ(calls[3].gain, 1.0f);
    EXPECT_EQ(calls[4].call, headless::SoundCall::StopMusic);
    EXPECT_FALSE(calls[4].releaseData);
    EXPECT_EQ(headless::effectsPlayed(), std::vector<std::string>{"sound/cp.wav"});
    headless::clearRecords();
    EXPECT_TRUE(headless::sounds().empty());
}

TEST_F(AudioTest, MissingSoundIsRecordedUnderItsNameAndDoesNotFail) {
    SimpleAudioEngine::getInstance()->playEffect("sound/none.wav");
    ASSERT_EQ(headless::effectsPlayed().size(), 1u);
    EXPECT_EQ(headless::effectsPlayed()[0], "sound/none.wav");
}

TEST_F(AudioTest, VolumesScaleEffectsAndReachTheMusicAndZeroPlaysNoEffect) {
    SimpleAudioEngine* audio = SimpleAudioEngine::getInstance();
    audio->setBackgroundMusicVolume(0.4f);
    EXPECT_FLOAT_EQ(headless::musicVolume(), 0.4f);
    audio->setEffectsVolume(0.5f);
    EXPECT_NE(audio->playEffect("sound/cp.wav", false, 1.0f, 0.0f, 0.8f), 0u);
    audio->setEffectsVolume(0.0f);
    EXPECT_EQ(audio->playEffect("sound/at.wav"), 0u);
    audio->setEffectsVolume(7.0f);  // clamped to full
    audio->playEffect("sound/bg.wav");
    audio->setBackgroundMusicVolume(1.0f);
    const auto calls = headless::sounds();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].path, "sound/cp.wav");
    EXPECT_FLOAT_EQ(calls[0].gain, 0.4f);
    EXPECT_EQ(calls[1].path, "sound/bg.wav");
    EXPECT_FLOAT_EQ(calls[1].gain, 1.0f);
}

}  // namespace
