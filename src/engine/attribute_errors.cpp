#include "engine/attribute_errors.h"

namespace orv {

std::string attributeErrorText(int code) {
  switch (code) {
    case kErrValue: return "L'attribut valeur n'est pas spécifié ou n'est pas remplis correctement.";
    case kErrType: return "L'attribut type n'est pas spécifié ou n'est pas remplis correctement.";
    case kErrMode: return "L'attribut mode n'est pas spécifié ou n'est pas remplis correctement.";
    case kErrInternal: return "Erreur interne de la fonction !";
    case kErrMissingArgs: return "Il manque des paramètres pour executer la vérification.";
    default: return {};
  }
}

}  // namespace orv
