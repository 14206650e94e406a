// The Win32 main-thread bridge: posted tasks as window messages in posting
// order, tasks running inside a modal loop, waits that keep processing, and
// timers.
#include "ui/win32/Win32MainThread.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace velkor {

using namespace std::chrono_literals;

namespace {

// The numbers of the messages waiting for `window`, oldest first.
std::vector<UINT> QueuedMessages(HWND window) {
    std::vector<UINT> numbers;
    MSG message;
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE)) {
        numbers.push_back(message.message);
    }
    for (const UINT number : numbers) {
        PostMessageW(window, number, 0, 0); // put back, in order
    }
    return numbers;
}

} // namespace

TEST(Win32MainThread, PostedTasksRunInOrderAsTheWindowsMessagesAlsoInsideModalLoops) {
    Win32MainThread bridge;
    const DWORD mainThread = GetCurrentThreadId();
    std::vector<int> order;
    bool allOnMain = true;
    auto task = [&](int n) {
        return [&, n] {
            order.push_back(n);
            allOnMain = allOnMain && GetCurrentThreadId() == mainThread;
        };
    };
    bridge.Post(task(1));
    std::thread worker([&] {
        bridge.PostWindowMessage(IMainThread::Message::DispatchPacket, task(2));
        bridge.Post(task(3));
        bridge.PostWindowMessage(IMainThread::Message::ModalEdit, task(4));
    });
    worker.join();
    // Task 3's number was still waiting, so task 3 rides on that message.
    EXPECT_EQ(QueuedMessages(bridge.Window()),
              (std::vector<UINT>{Win32MainThread::kTaskMessage, 1125, 1124}));
    EXPECT_TRUE(order.empty()); // nothing runs before messages are processed
    bridge.ProcessMessages();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(allOnMain);

    // A message box runs its own loop; a task posted meanwhile runs inside it
    // (and here closes the box). The box's loop may take messages before the
    // box has its caption (on a busy machine Wine did so): then the task asks
    // to run again on a later turn, a bounded number of times.
    bool ranInsideTheBox = false;
    int turns = 0;
    std::function<void()> closeTheBox = [&] {
        const HWND box = FindWindowW(L"#32770", L"Modal loop");
        if (box == nullptr && ++turns < 1000) {
            Sleep(5);
            bridge.PostWindowMessage(IMainThread::Message::DispatchPacket, closeTheBox);
            return;
        }
        ranInsideTheBox = box != nullptr;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    };
    std::thread late([&] {
        std::this_thread::sleep_for(100ms);
        bridge.PostWindowMessage(IMainThread::Message::DispatchPacket, closeTheBox);
    });
    MessageBoxW(nullptr, L"Waiting for a posted task", L"Modal loop", MB_OK);
    late.join();
    EXPECT_TRUE(ranInsideTheBox);
}

TEST(Win32MainThread, ABurstOfTasksTravelsInFewMessagesAndRunsInOrder) {
    Win32MainThread bridge;
    std::vector<int> order;
    std::thread worker([&] {
        for (int n = 0; n < 1000; ++n) {
            if (n % 2 == 0) {
                bridge.PostWindowMessage(IMainThread::Message::DispatchPacket,
                                         [&, n] { order.push_back(n); });
            } else {
                bridge.Post([&, n] { order.push_back(n); });
            }
        }
    });
    worker.join();
    EXPECT_EQ(QueuedMessages(bridge.Window()),
              (std::vector<UINT>{1125, Win32MainThread::kTaskMessage}));

    // The first message runs the whole burst. A task posted by a task runs
    // with a message of its own, on a later turn of the loop.
    bool laterRan = false;
    bridge.Post([&] { bridge.Post([&] { laterRan = true; }); });
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, bridge.Window(), 0, 0, PM_REMOVE));
    DispatchMessageW(&message);
    ASSERT_EQ(order.size(), 1000u);
    for (int n = 0; n < 1000; ++n) {
        ASSERT_EQ(order[static_cast<size_t>(n)], n);
    }
    EXPECT_FALSE(laterRan);
    bridge.ProcessMessages();
    EXPECT_TRUE(laterRan);
    EXPECT_TRUE(QueuedMessages(bridge.Window()).empty());
}

TEST(Win32MainThread, WaitsKeepProcessingAndTimersTickUntilStopped) {
    Win32MainThread bridge;
    bool posted = false;
    std::thread worker([&] { bridge.Post([&] { posted = true; }); });
    worker.join();
    int ticks = 0;
    IMainThread::TimerId id = 0;
    id = bridge.StartTimer(10ms, [&] {
        if (++ticks == 3) {
            bridge.StopTimer(id); // from its own tick
        }
    });
    const auto start = std::chrono::steady_clock::now();
    bridge.ProcessMessagesFor(300ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 295ms);
    EXPECT_TRUE(posted);
    EXPECT_EQ(ticks, 3);
    bridge.StopTimer(id); // a second stop and an unknown id are harmless
    bridge.StopTimer(12345);

    // A quit message taken by a wait ends the wait and stays for the outer loop.
    PostQuitMessage(7);
    bridge.ProcessMessagesFor(2s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

TEST(Win32MainThread, AStreamOfPostedTasksLeavesTimersTheirTurn) {
    // Each task posts the next for 300 ms, as the reader's events do during a
    // flood of answers; the queue hands out posted messages before timer
    // messages, so without the pump's turn-taking the timer would not tick
    // until the stream ended.
    Win32MainThread bridge;
    const auto start = std::chrono::steady_clock::now();
    bool streaming = true;
    std::function<void()> next = [&] {
        streaming = std::chrono::steady_clock::now() - start < 300ms;
        if (streaming) {
            bridge.Post(next);
        }
    };
    int ticksDuringStream = 0;
    const IMainThread::TimerId id =
        bridge.StartTimer(10ms, [&] { ticksDuringStream += streaming ? 1 : 0; });
    bridge.Post(next);
    bridge.ProcessMessagesFor(500ms);
    bridge.StopTimer(id);
    EXPECT_FALSE(streaming);
    EXPECT_GE(ticksDuringStream, 5); // at most one turn a frame: about 18 in 300 ms
}

} // namespace velkor
