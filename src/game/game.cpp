#include "game/game.h"

#include <system_error>
#include <utility>

#include "storage/player_files.h"

namespace rv {

Game::Game(Platform& platform_in, RandomSource& rng_in, Language language_in,
           std::filesystem::path data_folder_in)
    : platform(platform_in),
      rng(rng_in),
      program_folder(platform_in.ProgramFolder()),
      data_folder(data_folder_in.empty() ? program_folder : std::move(data_folder_in)),
      loop(platform_in, *this),
      display(platform_in),
      loader(program_folder),
      language(std::move(language_in)),
      sound(platform_in.audio(), program_folder),
      ranking_book(std::make_unique<OwnRanking>(ranking, PlayerFile(kRankingFile))) {
  loader.UseLanguage(language.code);
}

std::filesystem::path Game::PlayerFile(std::string_view relative) const {
  return data_folder / std::filesystem::path(std::string(relative));
}

void Game::Form_Unload(int status) {
  std::error_code ignored;
  std::filesystem::remove(PlayerFile(kRunningMarker), ignored);
  sound.StopMusic();
  sound.StopWave();
  if (window_open_) {
    window_open_ = false;
    platform.CloseWindow();
  }
  lock.reset();
  throw ProgramExit{status};
}

void Game::FailAndUnload(std::string_view text_line, std::string_view caption) {
  platform.ShowMessage(language.words.Tr(text_line), language.words.Tr(caption),
                       MessageIcon::kWarning);
  Form_Unload(1);
}

void Game::OnKeyDown(int16_t key_code) {
  if (Form_KeyDown(keys, key_code) == KeyAction::kEscape) Form_Unload();
}

void Game::OnKeyUp(int16_t key_code) { Form_KeyUp(keys, key_code); }

void Game::OnClose() { Form_Unload(); }

void Game::OnMusicDone(int player) { sound.MusicControl_Done(static_cast<int16_t>(player)); }

}  // namespace rv
