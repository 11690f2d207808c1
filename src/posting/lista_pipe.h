#pragma once
// The lot, series and position list text (ListaPipe) and its eight operations, as pure text
// functions: stock posting reads the articles grid's lists with them, the engine's members of the
// same names hand over to them, and the lot dialogs decode and build their lists with them.
//
//   ListaPipe::Cantidad_Series_Lotes("|L1|L2|")                  // 2
//   ListaPipe::ExtraeSerieLote("|L1|L2|", 2)                     // "L2"
//   ListaPipe::Cuenta_Series_Lotes("|S1|S2|S1|", "|L1|L2|L3|")   // 2 distinct series
//
// Written form: "|" and then every item followed by "|" (|A|B|C|); the empty list is the empty
// text. An item is a plain value (lot, serial, position or quantity), a position with its
// quantity (P01*5), or two values joined by Chr(255) (12ÿ1), which no operation here splits.
//
// Reading, shared by every decoding operation:
//   1. blanks around the whole text are removed;
//   2. one leading "|" is dropped;
//   3. what is left without any "|" is a bare value (each operation says what it makes of it);
//   4. otherwise each item is the text before the next "|"; text after the last "|" is no item;
//   5. items may be empty (|A||B| holds A, an empty item, B);
//   6. two items are equal when equal after trimming, letter case ignored.
// Lists of any length are read: thousands of serials are ordinary data.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace posting::ListaPipe {

// Chr(255): joins two values (a lot and its serial, a size and its mark) inside one item.
inline constexpr QChar kPar = u'\u00FF';

// The items, each trimmed, followed by one empty element: the last index is the item count.
// A non-blank bare value is one item.
QStringList DescomponeSerieLote(const QString& Serie_Lote);

// The item count: 0 for the empty text, empty items counted, a non-blank bare value counts 1.
int32_t Cantidad_Series_Lotes(const QString& Pipes);

// The item at the 1-based position, untrimmed; "" for a position below 1 or past the last item.
// A non-blank bare value is the item at position 1.
QString ExtraeSerieLote(const QString& Serie_Lote, int32_t QuePosicion);
// Every item as ExtraeSerieLote gives it, read once: what a line of many items walks.
QStringList ItemsSerieLote(const QString& Serie_Lote);

// The 1-based position of the first item equal (rule 6) to the one sought; the item count + 1
// when none is; 0 when the text holds no list at all (empty, or a bare value).
int32_t Busca_Lotes_Series(const QString& PipeSeriesLotes, const QString& QueSerieLote);

// How many stock rows a grid line gives. A series list that is not blank sets the lot list
// aside; without one the lot list counts. SinConsolidar: the items of that list, empty ones
// included. Otherwise the distinct non-blank items (rule 6).
int32_t Cuenta_Series_Lotes(const QString& PipeSeries, const QString& PIPELotes, bool SinConsolidar = false);

// The distinct non-blank items, each after one blank: |A|B|a|| gives " A B". A bare value gives "".
QString StrSerieLote(const QString& Serie_Lote);

// The written form of the items: "|" and then every item followed by "|" (|A|B|); no items give
// "|", as InsertaCHR255 does. Items are taken as they are: one holding "|" splits when read.
QString ArmaLista(const QStringList& items);

// The list with Chr(255) before every closing "|": |A|B| gives |Aÿ|Bÿ|. Blanks around the text and
// a leading "|" are dropped first, so A|B| gives the same; the empty text gives "|".
QString InsertaCHR255(const QString& iPipe);

// Splits a position list (|P1*5|P2*2.5|) into positions and quantities at each item's first "*",
// neither part trimmed again (an item without "*" is a position with an empty quantity), and
// decodes the lot list. Positions and quantities end with one empty element, as the lots do; a
// bare value gives no position.
void DescomponePosicionCantidadLote(const QString& Posicion_Lote, const QString& PIPELotes,
                                    QStringList& ArrPosiciones, QStringList& ArrCantidades, QStringList& ArrLote);

}  // namespace posting::ListaPipe
