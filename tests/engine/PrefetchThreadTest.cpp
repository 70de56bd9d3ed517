// Images decoded on a worker thread ahead of their first draw (tsan).
#include <fstream>

#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class PrefetchThreadTest : public HeadlessTest {};

TEST_F(PrefetchThreadTest, APrefetchedImageDrawsAsOneDecodedAtItsFirstDraw) {
    // A file whose header is whole but whose pixels are cut off: its size is known at load, its
    // decoding fails, on the worker as on the main thread.
    const std::string whole = enginetest::makePng("blue.png", 16, 16, {0, 0, 255, 255});
    std::string bytes;
    ASSERT_TRUE(FileUtils::getInstance()->readFile(whole, bytes));
    const std::string cut = enginetest::tempDir() + "/cut.png";
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, 40);

    struct Case {
        std::string file;
        bool prefetched;
        bool drawsBlue;
    };
    for (const Case& c : {Case{whole, true, true}, Case{whole, false, true}, Case{cut, true, false},
                          Case{cut, false, false}}) {
        SCOPED_TRACE(c.file + (c.prefetched ? " prefetched" : " decoded when drawn"));
        TextureCache* cache = Director::getInstance()->getTextureCache();
        cache->removeAllTextures();
        if (c.prefetched) {
            cache->prefetchImage(c.file);
        }
        Layer* layer = runLayer();
        Sprite* sprite = Sprite::create(c.file);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getContentSize(), Size(16, 16));
        sprite->setPosition(50, 50);
        layer->addChild(sprite);
        headless::stepFrames(1);
        EXPECT_EQ(headless::pixelAt(50.5f, 50.5f).b == 255, c.drawsBlue);
    }
}

TEST_F(PrefetchThreadTest, APrefetchedImageNeverDrawnIsLetGo) {
    // Under the address sanitizer, a surface the worker decoded and nobody freed is a leak.
    TextureCache* cache = Director::getInstance()->getTextureCache();
    cache->removeAllTextures();
    cache->prefetchImage(enginetest::makePng("unused.png", 64, 64, {9, 9, 9, 255}));
    EXPECT_EQ(cache->getTextureCount(), 1u);
    cache->removeUnusedTextures();  // waits for the worker and frees what it decoded
    EXPECT_EQ(cache->getTextureCount(), 0u);
}

}  // namespace
