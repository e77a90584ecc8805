#pragma once

// Notes written on Windows name fonts such as "ＭＳ ゴシック" that Linux desktops lack, and the
// font matcher would then pick a Latin font whose fallback draws kanji in Chinese shapes.
// This maps those names to installed Japanese fonts, so the files keep the names they hold
// while the text shows in a fitting face. Needs the application object; call it before the
// first window is built.
void installFontSubstitutes();
