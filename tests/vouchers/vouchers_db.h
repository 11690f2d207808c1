#pragma once
// The demo head-office database in the test's own folder, gDBPrincipal open on it as an
// administrator, scripted boxes; the entry grids as the engine lays them out.
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/ui/text_box.h"
#include "platform/ui/text_measurer.h"
#include "platform/vb/dates.h"
#include "posting/cls_cmn_cptes.h"
#include "support/demo_db.h"

#include <gtest/gtest.h>

namespace voucherstest {

class VouchersTest : public testsupport::DemoCentralTest {
protected:
    void TearDown() override {
        vb::SetClock({});
        DemoCentralTest::TearDown();
    }
    static void Ejecuta(const QString& sql) { data::gDBPrincipal().gCnn()->Execute(sql); }

    ui::ScriptedPrompter prompter;
};

struct Grillas {
    explicit Grillas(const QString& tc = QStringLiteral("FC")) {
        const ui::FixedWidthMeasurer medida(100);
        const bool hecha =
            posting::ClsCmnCptes().InicializaGrids(&tareas, &articulos, &otros, &e1, &e2, &e3, &medida, tc, &totales);
        EXPECT_TRUE(hecha);
    }
    ui::FlexGrid tareas, articulos, otros, totales;
    ui::TextBox e1{QStringLiteral("TxtEdit")}, e2{QStringLiteral("TxtEdit2")}, e3{QStringLiteral("TxtEdit3")};
};

// The grid's data rows become filas, each one's texts in the columns given (by default 0, 1...).
inline void Llena(ui::FlexGrid& g, const std::vector<QStringList>& filas, const std::vector<int>& cols = {}) {
    g.SetRows(1);
    g.SetRows(static_cast<int>(filas.size()) + 1);
    for (int i = 0; i < static_cast<int>(filas.size()); ++i)
        for (int j = 0; j < filas[i].size(); ++j) g.SetTextMatrix(i + 1, cols.empty() ? j : cols[j], filas[i][j]);
}

}  // namespace voucherstest
