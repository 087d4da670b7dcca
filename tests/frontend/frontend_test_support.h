// Shared pieces of the front end's window and job tests.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextBrowser>
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace frontend_test {

// A fresh directory under /tmp ("<prefix>XXXXXX").
inline std::string makeScratchDirectory(const char* prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
}

// Guards against hanging; never a timing check.
inline constexpr int WAIT_MS = 90000;

// Spins the event loop until done() holds; false when it never did.
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = WAIT_MS) {
    return QTest::qWaitFor(done, timeoutMs);
}

// Types text key by key, also characters that have no key of their own
// (Japanese text arrives as key events carrying the text).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) QTest::keyClick(widget, c.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Runs `act` on the next modal dialog of type T once it is shown (the code
// under test is blocked in its exec() meanwhile).
template <typename T>
void whenModalShown(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

}  // namespace frontend_test
