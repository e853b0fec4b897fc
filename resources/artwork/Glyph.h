#pragma once

namespace artwork {

// The pictograms the images are built from.
enum class Glyph {
    Back, Books, Person, Lock, Notebook, Gear, Target, Stopwatch, Paper, Star, Trash, Grid, Bulb,
    Play, Chat, Brush, Info, Power, Check, Cross, Trophy, Sliders
};

} // namespace artwork
