#pragma once

#include <QDate>
#include <QString>

class frmMain;

// Reads the high-score table from the settings store into the window's six labels.
void LoadHighScores(frmMain& window);
// Writes the window's six labels back to the settings store.
void SaveHighScores(const frmMain& window);

// A date as the table shows it: "MM-DD-YYYY".
QString highScoreDateText(const QDate& date);
