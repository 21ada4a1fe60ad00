// The shipped program folder: the brand name, the six tones and every image the
// command bars load, each readable by what reads it.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <string>

#include "DeskUiTesting.h"
#include "desk/common/DeskProcedures.h"
#include "platform/Paths.h"
#include "platform/widgets/Sound.h"

namespace {

TEST(ShippedAssets, BrandToneAndImageFilesAreThereAndReadable) {
    desk_ui_testing::App();
    const std::filesystem::path previous = platform::ProgramFolder();
    platform::SetProgramFolder(ORBANEX_ASSETS_DIR);
    EXPECT_EQ(OrbanexDesk::CompanyName(), "Demo Brokerage");
    for (const char* tone :
         {"OrderOk", "Disconnect", "Connect", "NoEquity", "Alert", "PriceChanged"}) {
        const std::string path = platform::ResolvePath(std::string("\\sounds\\") + tone + ".wav");
        EXPECT_TRUE(platform::widgets::Sound::IsWave(path)) << tone;
    }
    const char* const images[] = {"PicLS.ico",
                                  "PicNO.ico",
                                  "PicAccount.ico",
                                  "PicShowAll.ico",
                                  "InterfaceImg.ico",
                                  "mnusaveas.ico",
                                  "PicResetInterface.ico",
                                  "PicLogon.ico",
                                  "mnuLogin.ico",
                                  "mnu_Login.ico",
                                  "mnuremove.ico",
                                  "mnuremoveall.ico",
                                  "mnulogoutall.ico",
                                  "mnulogout.ico",
                                  "PicJournal.ico",
                                  "PicTerminal.ico",
                                  "pending1.ico",
                                  "PicNetTrade.ico",
                                  "Close ordedr.ico",
                                  "PicSymbol.ico",
                                  "PicHelp.ico",
                                  "PicAbout.ico",
                                  "mnu_Exit.ico",
                                  "PicAsk.ico",
                                  "CrosshairsImg.ico",
                                  "PicGrid.ico",
                                  "PicBitmap.ico",
                                  "PicPrint.ico",
                                  "PicList.ico",
                                  "PicClear.ico",
                                  "chat.ico",
                                  "PicHotkey.ico",
                                  "logo.png",
                                  "mnu_Exit.png",
                                  "PicHelp.png",
                                  "PicAbout.png",
                                  "mnu_Login.png",
                                  "PicAsk.png",
                                  "CrosshairsImg.png",
                                  "PicGrid.png",
                                  "PicBitmap.png",
                                  "PicPrint.png",
                                  "PicList.png",
                                  "PicClear.png",
                                  "chat.png",
                                  "PicHotkey.png",
                                  "PicResetInterface.png",
                                  "InterfaceImg.png",
                                  "PicLogon.png",
                                  "PicLS.png",
                                  "PicSymbol.png",
                                  "PicShowAll.png"};
    for (const char* image : images) {
        const std::string path =
            platform::ResolvePath(std::string("\\images and icons\\QDsk\\") + image).string();
        EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull()) << image;
    }
    platform::SetProgramFolder(previous);
}

}  // namespace
