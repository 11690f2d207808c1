// SQL literals, the ADO type classes and the object-name helpers of DB_Dll.
#include "data/db_dll.h"

#include "platform/vb/error.h"

#include <gtest/gtest.h>

namespace {

struct LiteralCase {
    vb::Variant valor;
    const char* tipo;
    const char* esperado;
};

TEST(SQLValue, LiteralsOfNumbersTextsAndNulls) {
    const LiteralCase casos[] = {
        {vb::Variant(12.5), "@", "12.5"},
        {vb::Variant(QStringLiteral("12.5")), "@", "12.5"},
        {vb::Variant(QStringLiteral("12,5")), "@", "12.5"},
        {vb::Variant(1.23456), "@", "1.2346"},
        {vb::Variant(-3), "@", "-3"},
        {vb::Variant(QStringLiteral("abc")), "@", "0"},
        {vb::Variant(vb::Null), "@", "0"},
        {vb::Variant(QStringLiteral("ABC")), "'", "'ABC'"},
        {vb::Variant(QStringLiteral("TK  ")), "'", "'TK  '"},
        {vb::Variant(vb::Null), "'", "NULL"},
        {vb::Variant(QStringLiteral("X")), "", "X"},
        {vb::Variant(vb::Null), "", "NULL"},
        {vb::Variant(7), "", "7"},
    };
    data::DB_Dll db;
    for (const LiteralCase& c : casos)
        EXPECT_EQ(db.SQLValue(c.valor, QString::fromUtf8(c.tipo)).toString(), QString::fromUtf8(c.esperado))
            << c.valor.text().toStdString() << " tipo " << c.tipo;
}

TEST(SQLValue, AnApostropheStaysInsideOneLiteral) {
    data::DB_Dll db;
    EXPECT_EQ(db.SQLValue(vb::Variant(QStringLiteral("O'Brien")), QStringLiteral("'")).toString(),
              QStringLiteral("'O''Brien'"));
    EXPECT_EQ(db.SQLValue(vb::Variant(QStringLiteral("'; DROP TABLE X; --")), QStringLiteral("'")).toString(),
              QStringLiteral("'''; DROP TABLE X; --'"));
}

TEST(TypeClasses, AdoTypeNumbersSortIntoClasses) {
    data::DB_Dll db;
    for (int t : {7, 133, 137, 134, 135, 64}) {
        EXPECT_TRUE(db.adodate(vb::Variant(t))) << t;
        EXPECT_EQ(db.ADOComilla(vb::Variant(t)), QStringLiteral("'")) << t;
    }
    for (int t : {8, 201, 203, 200, 202, 130, 129}) {
        EXPECT_TRUE(db.ADOText(vb::Variant(t))) << t;
        EXPECT_EQ(db.ADOComilla(vb::Variant(t)), QStringLiteral("'")) << t;
    }
    for (int t : {20, 14, 5, 3, 131, 4, 2, 16, 21, 19, 18, 17}) {
        EXPECT_TRUE(db.ADONumeric(vb::Variant(t))) << t;
        EXPECT_EQ(db.ADOComilla(vb::Variant(t)), QString()) << t;
    }
    EXPECT_FALSE(db.ADONumeric(vb::Variant(6)));
    EXPECT_TRUE(db.ADOCurrency(vb::Variant(6)));
    EXPECT_TRUE(db.ADOBoolean(vb::Variant(11)));
    EXPECT_EQ(db.ADOComilla(vb::Variant(11)), QString());
    EXPECT_FALSE(db.adodate(vb::Variant()));
    EXPECT_FALSE(db.ADOText(vb::Variant(vb::Null)));
}

TEST(ObjectNames, OwnersBracketsAndFiles) {
    data::DB_Dll db;
    QString nombre = QStringLiteral("dbo.TA_X");
    EXPECT_EQ(db.StripOwner(nombre), QStringLiteral("TA_X"));
    EXPECT_EQ(nombre, QStringLiteral("TA_X"));
    nombre = QStringLiteral("a.b.c");
    EXPECT_EQ(db.StripOwner(nombre), QStringLiteral("b.c"));
    nombre = QStringLiteral("TA_X");
    EXPECT_EQ(db.StripOwner(nombre), QStringLiteral("TA_X"));

    nombre = QStringLiteral("srv.dbo.T");
    EXPECT_EQ(db.stSTF(nombre, false), QStringLiteral("dbo.T"));
    EXPECT_EQ(nombre, QStringLiteral("dbo.T"));
    nombre = QStringLiteral("dbo.T");
    EXPECT_EQ(db.stSTF(nombre, true), QStringLiteral("T"));
    EXPECT_EQ(db.stSTF(nombre, false), QStringLiteral("dbo"));
    nombre = QStringLiteral("T");
    EXPECT_EQ(db.stSTF(nombre, true), QStringLiteral("T"));
    EXPECT_THROW(db.stSTF(nombre, false), vb::Error);

    EXPECT_EQ(db.AddBrackets(QStringLiteral("Mi Tabla")), QStringLiteral("[Mi Tabla]"));
    EXPECT_EQ(db.AddBrackets(QStringLiteral("[Mi Tabla]")), QStringLiteral("[Mi Tabla]"));
    EXPECT_EQ(db.AddBrackets(QStringLiteral("TA_X")), QStringLiteral("TA_X"));
    EXPECT_EQ(db.StripBrackets(QStringLiteral("[Mi Tabla]")), QStringLiteral("Mi Tabla"));
    EXPECT_EQ(db.StripBrackets(QStringLiteral("TA_X")), QStringLiteral("TA_X"));
    EXPECT_THROW(db.StripBrackets(QStringLiteral("[")), vb::Error);

    EXPECT_EQ(db.StripFileName(QStringLiteral("C:\\Datos\\erp.mdb")), QStringLiteral("C:\\Datos"));
    EXPECT_EQ(db.StripFileName(QStringLiteral("C:\\Datos\\")), QStringLiteral("C:\\Datos"));
    EXPECT_EQ(db.StripFileName(QStringLiteral("/datos/erp.mdb")), QStringLiteral("/datos"));
    EXPECT_EQ(db.StripFileName(QStringLiteral("erp.mdb")), QString());

    EXPECT_EQ(db.StripConnect(QStringLiteral("TA_X")), QStringLiteral("TA_X"));
    EXPECT_EQ(db.StripConnect(QStringLiteral("TA_X->ERP")), QStringLiteral("TA_X"));
}

}  // namespace
