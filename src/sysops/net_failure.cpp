#include "sysops/net_failure.h"

#include "engine/text_util.h"

namespace orv {

namespace {

using net::Failure;

std::string httpReason(const net::TransferError& e) {
  if (e.status > 0)
    return "le serveur a répondu HTTP " + decimal(e.status) + ", le fichier n'est pas enregistré";
  return "le serveur n'a pas envoyé de réponse HTTP valide";
}

}  // namespace

std::string failureText(const net::TransferError& e, const std::string& server) {
  switch (e.failure) {
    case Failure::None: return "aucune erreur";
    case Failure::BadAddress: return "adresse non valide ou protocole non pris en charge (" + e.detail + ")";
    case Failure::UnknownHost: return "serveur inconnu : " + server;
    case Failure::Refused: return "connexion refusée ou impossible vers " + server;
    case Failure::TimedOut: return "le serveur " + server + " ne répond plus (délai dépassé)";
    case Failure::HttpStatus: return httpReason(e);
    case Failure::Truncated:
      return "transfert incomplet, les données reçues sont plus courtes que la taille annoncée";
    case Failure::Interrupted: return "connexion interrompue par le serveur " + server;
    case Failure::Certificate: return "certificat du serveur refusé (" + e.detail + ")";
    case Failure::Tls: return "connexion sécurisée impossible (" + e.detail + ")";
    case Failure::TooManyRedirects: return "trop de redirections (plus de 10)";
    case Failure::Rejected: return "le serveur a refusé la commande " + e.command + " : " + e.detail;
    case Failure::LocalFile: return "impossible d'écrire le fichier " + e.detail;
    case Failure::Other: break;
  }
  return "erreur réseau " + decimal(e.code) + " (" + e.detail + ")";
}

}  // namespace orv
