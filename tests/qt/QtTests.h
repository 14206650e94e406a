// The QtTest classes of the front end's widgets and bridge; QtTestMain.cpp
// runs them all.
#pragma once

#include <QObject>

namespace velkor {

class QtMainThreadTest : public QObject {
    Q_OBJECT

private slots:
    void postedTasksRunInOrderOnTheGuiThread();
    void waitKeepsProcessingMessages();
    void timersTickUntilStoppedEvenFromTheirOwnTick();
};

class DialogViewsTest : public QObject {
    Q_OBJECT

private slots:
    void netConfigIgnoresEscapeAndTakesEnterAsOk();
    void sectorKeyFieldsFilterTypingAndPasting();
    void blockListArrowKeysSkipEntriesThatCannotBeChosen();
    void framedMemoDrawsItsGuideFrameWithXor();
    void cyrillicCaptionsShowFromTheirCodePageBytes();
};

class MainWindowViewTest : public QObject {
    Q_OBJECT

private slots:
    void logKeepsTheNewestLinesScrolledToTheBottom();
    void deviceListAppliesBurstsTogetherAndKeepsSelection();
    void deviceTableSortsFiltersCopiesAndTheWindowRemembersItsPlace();
    void statusBarShowsTheHintUnderTheMouse();
    void aboutEntryShowsTheVersion();
};

} // namespace velkor
