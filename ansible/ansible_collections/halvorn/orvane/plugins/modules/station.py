# -*- coding: utf-8 -*-
# The V7 Station on or off.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: station
short_description: Turn the V7 Station on or off
description:
  - Turns the V7 Station of a host on or off with C(v7ctl on) or C(v7ctl off --yes), as the
    control center's power button does.
  - Turning the station off logs its user off.
  - A station already in the state asked for is left alone (C(changed=false)).
version_added: 1.20.0
options:
  state:
    description:
      - The station's power. Unquoted C(on) and C(off), which YAML reads as booleans, are taken too.
    type: str
    choices: ["on", "off"]
    required: true
extends_documentation_fragment:
  - halvorn.orvane.v7ctl
attributes:
  check_mode:
    support: full
  diff_mode:
    support: full
author:
  - Halvorn
'''

EXAMPLES = r'''
- name: The station is on
  halvorn.orvane.station:
    state: "on"

- name: Off for the night, on a host root of its own
  halvorn.orvane.station:
    state: "off"
    root: /var/lib/orvane-v7/host
'''

RETURN = r'''
state:
  description: The station's power after the task (in check mode, what it would be).
  returned: success
  type: str
  sample: "on"
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.halvorn.orvane.plugins.module_utils.v7ctl import V7ctl, module_options


def main():
    module = AnsibleModule(
        argument_spec=module_options(state=dict(type='str', required=True, choices=['on', 'off'])),
        supports_check_mode=True,
    )
    state = module.params['state']
    answer = V7ctl(module).change(['on'] if state == 'on' else ['off', '--yes'])
    changed = answer['changed']
    result = dict(changed=changed, state=state)
    if module._diff:
        before = ('off' if state == 'on' else 'on') if changed else state
        result['diff'] = dict(before='state: %s\n' % before, after='state: %s\n' % state)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
