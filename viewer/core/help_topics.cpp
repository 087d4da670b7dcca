#include "viewer/core/help_topics.h"

#include "viewer/core/control_ids.h"

namespace viewer {

namespace {
struct TopicRow {
    int controlId;
    int topic;
};

constexpr TopicRow TOPICS[] = {
    {ID_PICTURE_WIDTH, 9011},      {ID_PICTURE_HEIGHT, 9011},       {ID_LOOP_COUNT, 9010},
    {ID_CONVERGENCE_RADIUS, 9009}, {ID_NEXT_MAGNIFICATION, 9012},   {ID_DRAW_BUTTON, 9015},
    {ID_CENTRE_RE, 9014},          {ID_CENTRE_IM, 9014},            {ID_CURRENT_MAGNIFICATION, 9013},
    {ID_MOUSE_POSITION, 9016},     {ID_MOUSE_POSITION_LABEL, 9016}, {ID_POINT_INFO, 9016},
    {ID_BACKGROUND, 9032},
};
}  // namespace

std::optional<int> helpTopicForContext(int helpContext) {
    for (const TopicRow& row : TOPICS)
        if (helpContextOfControl(row.controlId) == helpContext) return row.topic;
    return std::nullopt;
}

}  // namespace viewer
