// The video player of this system, loading Motion-JPEG AVI clips the tests write, into a
// panel that is never shown on a screen.
#include "platform/qt/VideoPlayerQt.h"

#include "EditionFixture.h"
#include "MediaFiles.h"
#include "MediaFixture.h"

#include <QLabel>
#include <QWidget>

using namespace quarto;
using namespace quarto::test;

namespace {

class VideoPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { Host.resize(286, 225); }
    void TearDown() override { DeleteLeftPlayers(); }

    std::unique_ptr<TVideoPlayer> Player() {
        auto player = MakeVideoPlayer(&Host);
        player->OnReadyStateChange([this, p = player.get()](TVideoReadyState state) {
            States.push_back(state);
            if (state == TVideoReadyState::Ready)
                SizesWhenReady.push_back(p->VideoSize());
        });
        return player;
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = FTemp.Path() / name;
        WriteWholeFile(path, bytes);
        return path;
    }
    bool WaitForState(TVideoPlayer& player, TVideoReadyState state) {
        return WaitFor([&] { return player.ReadyState() == state; }, 5000);
    }

    QApplication& Application = MediaApplication(); // before any widget
    QWidget Host;
    std::vector<TVideoReadyState> States;
    std::vector<TVideoSize> SizesWhenReady;

private:
    TTempFolder FTemp;
};

TEST_F(VideoPlayerTest, TellsTheClipsSizeWhenLoadedAndPlaysItAtOnce) {
    const bool loadedBefore = MediaPluginLoaded(); // see the audio player's test
    auto player = Player();
    // Nothing is loaded, nor put in the panel, before a clip is given.
    EXPECT_TRUE(Host.findChildren<QWidget*>().isEmpty());
    EXPECT_EQ(MediaPluginLoaded(), loadedBefore);

    player->SetFileName(Write("clip.avi", MjpegAvi(64, 48, 4)));
    EXPECT_EQ(player->ReadyState(), TVideoReadyState::Loading);
    ASSERT_TRUE(WaitForState(*player, TVideoReadyState::Ready));
    EXPECT_EQ(States, (std::vector{TVideoReadyState::Loading, TVideoReadyState::Ready}));
    EXPECT_EQ(SizesWhenReady, (std::vector{TVideoSize{64, 48}}));
    EXPECT_EQ(player->Mode(), TMediaMode::Playing);
    EXPECT_NE(Host.findChild<QWidget*>("VideoControls"), nullptr);
    // The picture shows the clip: the middle of a frame is half green, half red.
    auto* picture = Host.findChild<QWidget*>("VideoPicture");
    ASSERT_NE(picture, nullptr);
    picture->resize(80, 60); // the panel is never shown, nor laid out
    EXPECT_TRUE(WaitFor(
        [&] {
            const QColor middle = picture->grab().toImage().pixelColor(picture->rect().center());
            return middle.red() > 80 && middle.green() > 80;
        },
        5000));

    player->Stop();
    EXPECT_EQ(player->Mode(), TMediaMode::Stopped);
    EXPECT_EQ(player->Position(), 0);
    EXPECT_EQ(player->ReadyState(), TVideoReadyState::Ready);
}

TEST_F(VideoPlayerTest, LoadsAClipInsideADiscImage) {
    TTempFolder scratch;
    const std::string root =
        MountedImageOf(scratch.Path(), {{"Books/Key/video_1/Clip.AVI", MjpegAvi(64, 48, 4)}});
    ASSERT_FALSE(root.empty());
    auto player = Player();
    player->SetFileName(root + "/books/key/VIDEO_1/clip.avi");
    ASSERT_TRUE(WaitForState(*player, TVideoReadyState::Ready));
    EXPECT_EQ(SizesWhenReady, (std::vector{TVideoSize{64, 48}}));
}

TEST_F(VideoPlayerTest, WithoutAutoStartTheClipWaitsPausedAtItsFirstPicture) {
    auto player = Player();
    player->SetAutoStart(false);
    player->SetFileName(Write("clip.avi", MjpegAvi(32, 24, 4)));
    ASSERT_TRUE(WaitForState(*player, TVideoReadyState::Ready));
    EXPECT_EQ(player->VideoSize(), (TVideoSize{32, 24}));
    EXPECT_EQ(player->Mode(), TMediaMode::Paused);
    player->Play();
    EXPECT_EQ(player->Mode(), TMediaMode::Playing);
}

TEST_F(VideoPlayerTest, AClipThatCannotBePlayedFailsAndTheNextOneLoads) {
    auto player = Player();
    const std::string big = Write("big.avi", MjpegAvi(64, 48, 20));
    const std::string small = Write("small.avi", MjpegAvi(48, 32, 4));
    player->SetFileName(big);
    ASSERT_TRUE(WaitForState(*player, TVideoReadyState::Ready));

    // Given while the first plays: the text renamed .avi fails with the framework's reason.
    player->SetFileName(Write("text.avi", "Это не видео.\r\n"));
    ASSERT_TRUE(WaitForState(*player, TVideoReadyState::Failed));
    EXPECT_FALSE(player->ErrorText().empty());
    EXPECT_EQ(player->VideoSize(), (TVideoSize{}));
    EXPECT_EQ(player->Mode(), TMediaMode::NotOpen);
    const auto* shown = Host.findChild<QLabel*>("VideoErrorText");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text().toStdString(), player->ErrorText());

    // The next clip's own size is told, not the size of a picture of the one before.
    player->SetFileName(big);
    ASSERT_TRUE(WaitForState(*player, TVideoReadyState::Ready));
    player->SetFileName(small);
    ASSERT_TRUE(WaitForState(*player, TVideoReadyState::Ready));
    EXPECT_EQ(SizesWhenReady,
              (std::vector{TVideoSize{64, 48}, TVideoSize{64, 48}, TVideoSize{48, 32}}));
    player->SetFileName("");
    EXPECT_EQ(player->ReadyState(), TVideoReadyState::Empty);
    EXPECT_EQ(player->Mode(), TMediaMode::NotOpen);
}

} // namespace
