// The language of the words a backtest shows, shared by the report tool and
// the draw service's start-up page.
#pragma once

namespace zelkor {

// The language of the words shown to the user.
enum class HelpLanguage { kEnglish, kChinese };

}  // namespace zelkor
