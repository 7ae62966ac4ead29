#pragma once

#include <QString>

namespace lists {

// The caption map of list columns: every grid column whose layout gives no caption
// is titled from here. Any other column name is its own caption.
QString sutunBaslik(const QString& column);

// The reverse map for student columns, used when spreadsheet headers are paired
// with columns: "Adı" and "Adı Soyadı" -> ADI, "Soyadı" -> SOYADI, "Numarası" ->
// NUMARASI, "Seviye" -> SEVIYE, "Sınıfı" -> SINIFI, "T.C.Kimlik No" -> TCKIMLIK.
// Headers compare trimmed and without regard to (Turkish) case; empty when unknown.
QString sutunAdiBasliktan(const QString& caption);

// Key and bookkeeping columns that a list never shows nor offers in its layout
// window (ID, SORUNUMARASI, SILINDIMI, AKTARILDI2). A screen may name more.
bool icSutunMu(const QString& column);

}  // namespace lists
