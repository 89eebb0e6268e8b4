#pragma once
// A fixture that gives each test its own program folder, user folder and
// machine store in a temporary directory, and its own program state.

#include "accounts/ui/account_parts.h"
#include "exercise/program_state.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class ZelvoTest : public ::testing::Test {
  protected:
    ZelvoTest();
    ~ZelvoTest() override;

    void SetUp() override;
    void TearDown() override;

    // <tmp>/program/, <tmp>/users/ and <tmp>/machine.reg
    QString programFolder() const;
    QString userFolder() const;
    QString storePath() const;
    QString tempPath(const QString& name) const; // <tmp>/name

    // The machine store with the program's key holding `values` (lines of
    // the registry export syntax).
    void writeStore(const QString& values) const;
    // The store's "PathUser" line naming the test's user folder, so that
    // start-up never looks elsewhere.
    QString pathUserLine() const;

    // The test's own program state, whose parts the windows are handed.
    ProgramState& state() const { return *state_; }
    AccountParts accountParts() const
    {
        return {state_->user, state_->loginNicks.nicks, state_->classFolder, state_->config};
    }

    static void writeFile(const QString& path, const QByteArray& bytes);
    static QByteArray readFile(const QString& path);

  private:
    QTemporaryDir dir_;
    std::unique_ptr<ProgramState> state_;
};
