#pragma once
// The main window in a test: made, loaded and shown as the program opens it. The caller sets what
// the program's end does (FrmKorvane01::SetFinPrograma) before, and resets it after.
#include "main_window/frm_korvane01.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace mainwindowtest {

// A new main window into `w`, loaded and drawn; a failed load fails the test.
inline void AbreVentana(std::unique_ptr<main_window::FrmKorvane01>& w) {
    w = std::make_unique<main_window::FrmKorvane01>();
    ASSERT_TRUE(w->Form_Load());
    w->show();
    QCoreApplication::processEvents();
}

}  // namespace mainwindowtest
