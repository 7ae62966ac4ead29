#pragma once

#include <QString>

#include "Result.h"

namespace store {

// File names of the content stores in the data folder:
// question stores DERSLIK_<n>.db (table TABLESORU: ID, SORUNO, SORU, COZUM) and
// test stores DERSLIK_T<n>.db (table TABLETEST: ID, TESTNO, BASLANGICEKRANI, BASLIK),
// numbered from kFirstStore.
enum class StoreKind { Question, Test };

inline constexpr int kFirstStore = 2;
inline constexpr int kLastStoreNumber = 100;

QString storeFileName(StoreKind kind, int n);                   // "DERSLIK_3.db", "DERSLIK_T2.db"
QString storePath(const QString& root, StoreKind kind, int n);  // inside the data folder `root`
// Creates an empty store file with its one table (nothing when it exists).
Status createStoreFile(StoreKind kind, const QString& path);

}  // namespace store
