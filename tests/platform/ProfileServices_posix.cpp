#include "ProfileServices.h"

std::vector<ProfileService> ProfileServicesUnderTest() {
    return {OwnProfileStore()};
}
