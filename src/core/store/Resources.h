#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace store {

class Store;

// Files carried inside the program (Qt resources) and written to the data folder
// when they are needed: blank question and solution pictures (YeniSoru.dce,
// YeniCevap.dce, TT.dce, TK.dce), the student placeholder photo ResimYok.jpg and the
// sounds app6.wav (all correct), HepsiBos.wav (all blank), HepsiYanlis.wav (all wrong).

// Writes the built-in file to data folder [/ subFolder] / fileName when it is missing,
// or always when `overwrite` is set (the new file replaces the old one whole). An
// unknown name writes nothing. Returns fileName unchanged.
QString KaynakCikar(const Store& store, const QString& fileName, const QString& subFolder = {},
                    bool overwrite = false);

// The names KaynakCikar knows.
QStringList resourceNames();
bool resourceExists(const QString& fileName);
// The bytes of a built-in file; empty for an unknown name.
QByteArray resourceData(const QString& fileName);

}  // namespace store
