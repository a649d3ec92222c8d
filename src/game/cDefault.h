#pragma once

#include <QString>
#include <cstdint>
#include <memory>

class frmMain;

// The state the window's handlers share: the sound folder, the turn in
// progress and the results of the two board tests.
class cDefault {
  public:
    cDefault();

    QString strSoundPath;
    std::int16_t intTurn = 0;
    std::int16_t intFirstBlockIndex = 0;
    std::int16_t intSecondBlockIndex = 0;
    std::int16_t intFirstBlockImage = 0;
    std::int16_t intSecondBlockImage = 0;
    bool blnIsAllAssigned = false;
    bool blnGameOver = false;

    // Sets blnIsAllAssigned: true when every block of the window's board has a
    // picture number in its tag text.
    void CheckAllAssigned(const frmMain& window);
    // Sets blnGameOver: true when no block of the window's board shows the cover picture.
    void CheckGameOver(const frmMain& window);
};

// Holds the one program-wide cDefault, created by whoever touches it first.
class GameStateReference {
  public:
    cDefault* operator->() { return &get(); }
    cDefault& operator*() { return get(); }
    bool exists() const { return m_object != nullptr; }
    // Lets go of the object; the next use creates a new one.
    void release() { m_object.reset(); }

  private:
    cDefault& get();
    std::unique_ptr<cDefault> m_object;
};

extern GameStateReference objGame;
