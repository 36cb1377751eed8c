// The game's files alone, on a bare state: Resume says whether it replaced
// the game, which is what the game goes by to drop what it worked out.
#include "app/controls.h"
#include "app/game_files.h"
#include "app/scripted_dialogs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pellucar;

TEST(GameFiles, ResumeReportsWhetherTheSavedGameReplacedTheOneInPlay) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    GameState s;
    PresentationModel model;
    applyDesignState(model);
    ScriptedDialogs dialogs;
    GameFiles files(s, model, dialogs, nullptr);
    files.setSaveFolder(dir.path());

    EXPECT_FALSE(files.mnuResume_Click()); // nothing saved yet
    s.gameStarted = true;
    s.periodIndex = 7;
    files.mnuSave_Click();
    s.periodIndex = 9;
    dialogs.queueAnswer(QStringLiteral("btnNo"));
    EXPECT_FALSE(files.mnuResume_Click()); // the player keeps the game in play
    EXPECT_EQ(s.periodIndex, 9);
    EXPECT_TRUE(files.mnuResume_Click());
    EXPECT_EQ(s.periodIndex, 7);
}
