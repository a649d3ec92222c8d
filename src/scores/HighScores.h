#pragma once

#include <QDate>
#include <QString>

// Reads the high-score table from the settings store into the window's six labels.
void LoadHighScores();
// Writes the window's six labels back to the settings store.
void SaveHighScores();

// A date as the table shows it: "MM-DD-YYYY".
QString highScoreDateText(const QDate& date);
