// quillon-studio [PICTURE]: the Studio's window, opening PICTURE as the secret.
#include "studio/wx/app.h"

int main(int argc, char** argv) {
  return quillon::studio::wx::RunStudio(argc, argv);
}
