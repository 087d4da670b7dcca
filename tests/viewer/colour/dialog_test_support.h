// What the window tests here share: common headers, typing as a user does, the layout check.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/recording_message_boxes.h"
#include "test_blocks.h"
#include "viewer/colour/dialog_widgets.h"

namespace colour_test {

// Replaces the field's text as a user would: select all, then type (or
// delete, for an empty text).
inline void type(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text.isEmpty() ? QStringLiteral("\b") : text);
}

// Shows the dialog: no two visible controls overlap (as one put into a taken grid cell, or over the picture, does).
inline void expectNoOverlap(QDialog& dialog) {
    dialog.show();
    std::vector<std::pair<QWidget*, QRect>> leaves;
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (w->isVisible() && w->findChildren<QWidget*>().isEmpty())
            leaves.emplace_back(w, QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size()));
    for (std::size_t i = 0; i < leaves.size(); ++i)
        for (std::size_t j = i + 1; j < leaves.size(); ++j)
            EXPECT_FALSE(leaves[i].second.intersects(leaves[j].second)) << dialog.metaObject()->className() << ": "
                << leaves[i].first->metaObject()->className() << ", " << leaves[j].first->metaObject()->className();
}

inline QRect shownRect(QWidget* w) { return {w->mapTo(w->window(), QPoint(0, 0)), w->size()}; }  // in its window

// `left` stands just before `right` on one line (a label before its field, arrows by theirs).
inline bool beside(QWidget* left, QWidget* right, int maxGap = 12) {
    const QRect a = shownRect(left), b = shownRect(right);
    return a.right() < b.left() && b.left() - a.right() - 1 <= maxGap &&
           ((a.top() <= b.center().y() && b.center().y() <= a.bottom()) ||
            (b.top() <= a.center().y() && a.center().y() <= b.bottom()));
}

// One of the labels reading `text` stands just before `field`.
inline bool labelled(QWidget& dialog, const QString& text, QWidget* field) {
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    return std::any_of(labels.begin(), labels.end(), [&](QLabel* l) { return l->text() == text && beside(l, field); });
}

}  // namespace colour_test
