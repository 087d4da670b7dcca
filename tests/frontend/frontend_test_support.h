// Shared pieces of the front end's window and job tests.
#pragma once

#include "common/block_layout.h"
#include "frontend/main_dialog.h"
#include "platform/shared_memory.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <signal.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace frontend_test {

inline constexpr int WAIT_MS = 90000;  // a guard against hanging, not a timing check

// Spins the event loop until done() holds; false when it never did.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = WAIT_MS) {
    return QTest::qWaitFor(done, timeoutMs);
}

// Runs `act` on the next modal dialog of type T once it is shown (the code
// under test is blocked in its exec() meanwhile).
template <typename T>
void whenModalShown(std::function<void(T*)> act) {
    QTimer::singleShot(10, [act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) act(dialog);
        else whenModalShown<T>(act);
    });
}

// Texts of the interface are UTF-8 in the sources.
inline QString q(const char* utf8) { return QString::fromUtf8(utf8); }

// Replaces a field's content as a user does: click, select all, erase, type.
inline void retype(QLineEdit* edit, const char* text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, q(text));
}

inline void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

inline std::string g16(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.16G", v);
    return buffer;
}

// FData<pid> and PData…_<pid> in /dev/shm: the blocks of this process's front end.
inline std::vector<std::string> ownSharedObjects() {
    std::vector<std::string> names;
    const std::string pid = std::to_string(::getpid());
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm")) {
        const std::string name = entry.path().filename();
        if (name == "FData" + pid || (name.starts_with("PData") && name.ends_with("_" + pid))) names.push_back(name);
    }
    return names;
}

inline bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

inline int slotsInUse(frontend::JobControl& job) {
    int n = 0;
    for (int i = 0; i < frontend::VIEWER_SLOT_COUNT; ++i) n += job.slotState(i) != frontend::SlotState::Free;
    return n;
}

// A copy of the slot's block header, read through its name.
inline common::AnalysisBlockHeader blockHeader(frontend::JobControl& job, int slot) {
    common::AnalysisBlockHeader h{};
    const auto block = platform::SharedMemory::open(job.slotBlockName(slot));
    if (block && block->size() >= sizeof h) std::memcpy(&h, block->data(), sizeof h);
    return h;
}

inline std::string blockTitle(frontend::JobControl& job, int slot) {
    const common::AnalysisBlockHeader h = blockHeader(job, slot);
    return std::string(h.title, strnlen(h.title, sizeof h.title));
}

}  // namespace frontend_test
