#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <initializer_list>
#include <utility>

#include "app/skyrelay_app.h"

// Finding the window tests' controls by object name, reading them and working them.

template <class T>
T* child(const QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromUtf8(name));
}

// The text a control shows, whatever its kind; a missing control reads as its name.
inline QString shown(const QObject* parent, const char* name) {
    const auto* control = child<QObject>(parent, name);
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    return QStringLiteral("<missing %1>").arg(QString::fromUtf8(name));
}

// Each named control shows its text; a mismatch names the control and what it shows.
inline void checkShown(const QObject* parent,
                       std::initializer_list<std::pair<const char*, const char*>> expected) {
    for (const auto& [name, text] : expected) {
        const QString actual = shown(parent, name);
        QVERIFY2(actual == QString::fromUtf8(text), qPrintable(name + (": " + actual)));
    }
}

// Typed key by key, as a person would, so that the edit's limits apply.
inline void typeInto(const QObject* parent, const char* name, const QString& text) {
    auto* edit = child<QLineEdit>(parent, name);
    QVERIFY2(edit != nullptr, name);
    edit->clear();
    QTest::keyClicks(edit, text);
}

inline void click(const QObject* parent, const char* name) {
    auto* button = child<QPushButton>(parent, name);
    QVERIFY2(button != nullptr, name);
    button->click();
}

// main() of a window test: the offscreen platform and the program's own application object.
#define SKYRELAY_WINDOW_TEST_MAIN(TestClass)     \
    int main(int argc, char** argv) {            \
        qputenv("QT_QPA_PLATFORM", "offscreen"); \
        SkyrelayApp app(argc, argv);             \
        TestClass test;                          \
        return QTest::qExec(&test, argc, argv);  \
    }
