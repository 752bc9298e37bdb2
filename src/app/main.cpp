// Kalmarex: the edition of producer and supplier prices.

#include "app/program.h"
#include "editions/edition.h"

int main(int argc, char** argv) {
    kmx::edition::ustaw(kmx::edition::CenyProducentow);
    return kmx::app::UruchomProgram(argc, argv);
}
