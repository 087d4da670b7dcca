// Start-up of a viewer: the command line and opening the two blocks by name.
#include "platform/shared_memory.h"
#include "platform_test_support.h"
#include "viewer/core/viewer_command_line.h"
#include "viewer/core/viewer_startup.h"
#include "viewer_harness.h"

using namespace viewer;

namespace {

ViewerCommandLine parse(std::vector<std::string> tokens) {
    tokens.insert(tokens.begin(), "torvel");
    std::vector<const char*> argv;
    for (const std::string& t : tokens) argv.push_back(t.c_str());
    return parseViewerCommandLine(static_cast<int>(argv.size()), argv.data());
}

// Both blocks in real shared memory, as the front end makes them.
struct SharedBlocks {
    SharedBlocks() {
        frontEnd = platform::SharedMemory::create(frontEndName, common::FRONT_END_BLOCK_SIZE);
        analysis = platform::SharedMemory::create(analysisName, common::ANALYSIS_BLOCK_FIXED_SIZE);
        auto* header = static_cast<common::AnalysisBlockHeader*>(analysis->data());
        header->blockSize = static_cast<std::uint32_t>(common::ANALYSIS_BLOCK_FIXED_SIZE);
        header->pictureKind = 'M';
        std::snprintf(header->title, sizeof header->title, "%s", "M2←M1");
        static_cast<common::FrontEndBlock*>(frontEnd->data())->mainWindow = 12345 * 256 + 1;
    }
    const std::string frontEndName = platform_test::uniqueBlockName("FData");
    const std::string analysisName = platform_test::uniqueBlockName("PData");
    std::optional<platform::SharedMemory> frontEnd, analysis;
};

}  // namespace

TEST(ViewerCommandLine, BadOrMissingTokensAreRefusedOneByOne) {
    enum Token { FrontEnd, Analysis, Size };
    const std::string longest = "-" + std::string(126, 'F');  // 127 bytes
    const std::pair<std::vector<std::string>, Token> refused[] = {
        {{}, FrontEnd},
        {{"FData77", "-PData3_77", "-12936"}, FrontEnd},  // no dash
        {{"-", "-PData3_77", "-12936"}, FrontEnd},        // nothing after it
        {{longest + "F", "-P", "-12936"}, FrontEnd},      // 128 bytes
        {{"-FData77"}, Analysis},
        {{"-FData77", "-PData3_77"}, Size},
        {{"-FData77", "-PData3_77", "-12935"}, Size},  // below the fixed part
        {{"-FData77", "-PData3_77", "-12936x"}, Size},
        {{"-FData77", "-PData3_77", "--12936"}, Size},
        {{"-FData77", "-PData3_77", "-99999999999999999999999"}, Size},
        {{"-FData77", "-PData3_77", "12936"}, Size},
    };
    for (const auto& [tokens, bad] : refused) {
        const ViewerCommandLine c = parse(tokens);
        const bool present[] = {c.frontEndName.has_value(), c.analysisName.has_value(), c.analysisSize.has_value()};
        EXPECT_FALSE(present[bad]) << ::testing::PrintToString(tokens);
    }
    EXPECT_TRUE(parse({longest, "-P", "-12936"}).frontEndName);
}

// The names and the size come from the three tokens with their dashes dropped;
// each failure has its message.
TEST(ViewerStartup, OpensBothBlocksOrSaysWhichFailed) {
    SharedBlocks blocks;
    const std::string f = "-" + blocks.frontEndName;
    const std::string p = "-" + blocks.analysisName;
    const StartupResult opened = openViewerBlocks(parse({f, p, "-12936"}), 42);
    ASSERT_NE(opened.session, nullptr) << opened.error;
    EXPECT_EQ(opened.session->processId(), 42);
    EXPECT_EQ(opened.session->frontEndWindow(), 12345 * 256 + 1);
    EXPECT_EQ(opened.session->analysis().title, "M2←M1");
    EXPECT_EQ(opened.session->analysisLength(), 12936u);
    // An object too small for a FrontEndBlock.
    const std::string small = platform_test::uniqueBlockName("FData");
    auto tiny = platform::SharedMemory::create(small, 100);
    ASSERT_TRUE(tiny);
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"-NoSuchBlock", p, "-12936"}, "マップドファイル1 [NoSuchBlock] のオープンに失敗しました。"},
        {{}, "マップドファイル1 [] のオープンに失敗しました。"},
        {{"-a/b", p, "-12936"}, "マップドファイル1 [a/b] のオープンに失敗しました。"},
        {{"-" + small, p, "-12936"}, "マップドファイル1のオープンに失敗しました。"},
        {{f, "-PDataWrong", "-12936"}, "マップドファイル2 [PDataWrong] のオープンに失敗しました。"},
        {{f, "-PDataWrong"}, "マップドファイル2 [PDataWrong] のオープンに失敗しました。"},
        {{f}, "マップドファイル2 [] のオープンに失敗しました。"},
        {{f, "-a/b", "-12936"}, "マップドファイル2 [a/b] のオープンに失敗しました。"},
        {{f, p, "-12937"}, "マップドファイル2のオープンに失敗しました。"},  // beyond the object
        {{f, p}, "マップドファイル2のオープンに失敗しました。"},
    };
    for (const auto& [tokens, message] : cases) {
        const StartupResult r = openViewerBlocks(parse(tokens), 1);
        EXPECT_EQ(r.session, nullptr);
        EXPECT_EQ(r.error, message);
    }
}
