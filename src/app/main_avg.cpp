// KalmarexAvg: the edition of average prices of labour, materials and
// equipment.

#include "app/program.h"
#include "editions/edition.h"

int main(int argc, char** argv) {
    kmx::edition::ustaw(kmx::edition::CenySrednie);
    return kmx::app::UruchomProgram(argc, argv);
}
