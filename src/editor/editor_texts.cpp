#include "editor/editor_texts.h"

#include "dialogs/language_file.h"

namespace {

struct TTextKey {
  const char* Section;
  const char* Key;
  QString TEditorTexts::*Field;
};

const TTextKey kKeys[] = {
    {"Status", "Layers", &TEditorTexts::Layers},
    {"Status", "ChipSize", &TEditorTexts::ChipSize},
    {"Status", "Tiles", &TEditorTexts::Tiles},
    {"Status", "Position", &TEditorTexts::Position},
    {"Status", "Zoom", &TEditorTexts::Zoom},
    {"Status", "RecoveryCopy", &TEditorTexts::RecoveryCopy},
    {"Status", "RecoveryFailed", &TEditorTexts::RecoveryFailed},
    {"Prompts", "SaveChanges", &TEditorTexts::SaveChanges},
    {"Prompts", "MissingTextures", &TEditorTexts::MissingTextures},
    {"Prompts", "ChangedOnDisk", &TEditorTexts::ChangedOnDisk},
    {"Prompts", "WroteInPlace", &TEditorTexts::WroteInPlace},
    {"Prompts", "RecoveryOffer", &TEditorTexts::RecoveryOffer},
    {"Prompts", "Untitled", &TEditorTexts::Untitled},
    {"Prompts", "NotAMap", &TEditorTexts::NotAMap},
    {"Prompts", "PackFolder", &TEditorTexts::PackFolder},
    {"Prompts", "Packed", &TEditorTexts::Packed},
    {"Prompts", "LookForTextures", &TEditorTexts::LookForTextures},
    {"Prompts", "TextureFolder", &TEditorTexts::TextureFolder},
    {"Prompts", "TexturesFound", &TEditorTexts::TexturesFound},
    {"Prompts", "TexturesStillMissing", &TEditorTexts::TexturesStillMissing},
    {"Extras", "RecentMenu", &TEditorTexts::RecentMenu},
    {"Extras", "ClearRecent", &TEditorTexts::ClearRecent},
    {"Extras", "NoRecent", &TEditorTexts::NoRecent},
    {"Extras", "HelpMenu", &TEditorTexts::HelpMenu},
    {"Extras", "About", &TEditorTexts::About},
    {"Extras", "Shortcuts", &TEditorTexts::Shortcuts},
    {"Extras", "LayerUp", &TEditorTexts::LayerUp},
    {"Extras", "LayerDown", &TEditorTexts::LayerDown},
    {"Extras", "PenSizeTip", &TEditorTexts::PenSizeTip},
    {"Extras", "SwatchTip", &TEditorTexts::SwatchTip},
    {"Extras", "LayerListTip", &TEditorTexts::LayerListTip},
    {"Help", "AboutText", &TEditorTexts::AboutText},
    {"Help", "ShortcutsText", &TEditorTexts::ShortcutsText},
};

}  // namespace

void TEditorTexts::Load(const TLanguageFile& File) {
  for (const TTextKey& k : kKeys)
    this->*k.Field = File.ReadString(k.Section, k.Key, this->*k.Field);
}
