#pragma once

#include "support/GameFixture.h"

#include <map>

// The game fixture with the moves of a player and what a player can see.
class Game : public testing::GameFixture {
  public:
    using Plays = std::vector<testing::RecordingSoundOutput::Play>;

    void startLevel(int index) {
        testing::click(window().lblLevel[index]);
        platform.sound.clear();
    }
    shell::ImageBox* block(int i) { return window().imgMain[std::size_t(i)]; }
    // Clicks block i and returns the sounds of that click.
    Plays reveal(int i) {
        platform.sound.clear();
        testing::click(block(i));
        return platform.sound.plays;
    }
    bool covered(int i) { return block(i)->picture() == window().imgDefault->picture(); }
    QString score() { return window().lblCurrentScore->caption(); }
    // The two blocks of each picture number on the board.
    std::vector<std::pair<int, int>> pairs() {
        std::map<QString, std::vector<int>> blocks;
        for (int i = 0; i < int(window().imgMain.size()); ++i)
            blocks[block(i)->tag()].push_back(i);
        std::vector<std::pair<int, int>> result;
        for (const auto& [tag, indices] : blocks)
            result.emplace_back(indices.at(0), indices.at(1));
        return result;
    }
};
