// Control identifiers of the progress window (GetDlgCtrlID), and the resource
// numbers of its pictures. Test helpers read controls through these numbers.
#pragma once

namespace orv::ui::ids {

enum Control : int {
  kLogo = 100,               // IMG_LOGO
  kContent = 101,            // CONTENU_DEFAUT
  kActionDescription = 102,  // DESCRIPTION_ACTION
  kActionTitle = 103,        // TITRE_ACTION
  kList = 104,               // LISTE_ACTIONS
  kDetails = 105,            // BT_DETAILS_ACTIONS
  kRootDescription = 106,    // DESCRIPTION_RACINE_ACTION
  kProgressGroup = 107,      // GRP_PROGRESS_BAR
  kProgressBar = 108,        // PROGRESS_BAR_GRP_PROGRESS_BAR
  kProgressText = 109,       // TXT_GRP_PROGRESS_BAR
  kStateGroup = 110,         // GRP_ETAT_DELENCHEMENT_ACTION
  kDateVersion = 111,        // IMG_DATE_VERSION_ACTION
  kVersion = 112,            // IMG_VERSION_ACTION
  kCommandGroup = 113,       // GRP_COMMANDE
  kCommandPicture = 114,     // the command group's unnamed picture
  kCommand = 115,            // TEXTE_COMMANDE
  kReturnKey = 150,          // the Return key's command event
};

// Name of a control identifier ("" for the unnamed picture and unknown numbers).
inline const char* controlName(int id) {
  static const char* const names[] = {
      "IMG_LOGO", "CONTENU_DEFAUT", "DESCRIPTION_ACTION", "TITRE_ACTION", "LISTE_ACTIONS",
      "BT_DETAILS_ACTIONS", "DESCRIPTION_RACINE_ACTION", "GRP_PROGRESS_BAR",
      "PROGRESS_BAR_GRP_PROGRESS_BAR", "TXT_GRP_PROGRESS_BAR", "GRP_ETAT_DELENCHEMENT_ACTION",
      "IMG_DATE_VERSION_ACTION", "IMG_VERSION_ACTION", "GRP_COMMANDE", "", "TEXTE_COMMANDE"};
  return id >= kLogo && id <= kCommand ? names[id - kLogo] : "";
}

// List icon indexes, in the order of the image list.
enum StateIcon : int { kIconError, kIconDone, kIconDisabled, kIconIgnored, kIconRunning, kIconEvent };

// RCDATA resources holding the PNG pictures.
enum Resource : int {
  kResError = 201,
  kResDone = 202,
  kResDisabled = 203,
  kResIgnored = 204,
  kResRunning = 205,
  kResEvent = 206,
  kResList = 211,     // 16 x 16, the details button
  kResClock = 212,    // 24 x 24
  kResNumbers = 213,  // 20 x 20
  kResPrompt = 214,   // 16 x 16
};

}  // namespace orv::ui::ids
