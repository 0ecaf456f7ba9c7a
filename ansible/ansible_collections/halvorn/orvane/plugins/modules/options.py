# -*- coding: utf-8 -*-
# The station's options: start-up, shut-down requests, login name, display.
from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
module: options
short_description: Set the V7 Station's options
description:
  - Sets the options of the control center's Options menu and dialog with C(v7ctl set); each option
    left out is left as it is.
  - An option that already has the value asked for is not written (C(changed=false)).
version_added: 1.20.0
options:
  autolaunch:
    description:
      - Turn the station on when the PC starts (C(on)) or leave it off (C(off)).
    type: str
    choices: ["on", "off"]
  shutdown_requests:
    description:
      - Allow or stop system shut-down requests from the station.
    type: str
    choices: [allow, stop]
  login_name:
    description:
      - The user name the station logs in with, at most 20 bytes in UTF-8; may be empty.
    type: str
  display:
    description:
      - The station's display mode, as the options dialog offers it, for example C(800 x 600, High color (16-bit)).
    type: str
  refresh:
    description:
      - The refresh rate in Hz, one the display mode offers. Alone, it keeps the present display mode.
    type: int
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
- name: Lab stations start with the PC and log in as pupil
  halvorn.orvane.options:
    autolaunch: "on"
    shutdown_requests: stop
    login_name: pupil
    display: 800 x 600, High color (16-bit)
    refresh: 60
'''

RETURN = r'''
options:
  description: The options after the task (in check mode, what they would be), under the names this module takes.
  returned: success
  type: dict
  sample: {autolaunch: "on", shutdown_requests: stop, login_name: pupil,
           display: "800 x 600, High color (16-bit)", refresh: 60}
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.halvorn.orvane.plugins.module_utils.v7ctl import V7ctl, module_options, json_keys

SETTINGS = ('autolaunch', 'shutdown_requests', 'login_name')  # set NAME VALUE


def main():
    module = AnsibleModule(
        argument_spec=module_options(
            autolaunch=dict(type='str', choices=['on', 'off']),
            shutdown_requests=dict(type='str', choices=['allow', 'stop']),
            login_name=dict(type='str'),
            display=dict(type='str'),
            refresh=dict(type='int'),
        ),
        supports_check_mode=True,
    )
    v7ctl = V7ctl(module)
    params = module.params
    before = json_keys(v7ctl.call(['options'])[1])
    after = dict(before)
    for name in SETTINGS:
        if params[name] is not None:
            answer = v7ctl.change(['set', name.replace('_', '-'), '--', params[name]])
            after.update(json_keys(answer))
    if params['display'] is not None or params['refresh'] is not None:
        mode = before['display'] if params['display'] is None else params['display']
        rate = [] if params['refresh'] is None else ['--refresh', str(params['refresh'])]
        answer = v7ctl.change(['set', 'display'] + rate + ['--', mode])
        after.update(json_keys(answer))
    after.pop('changed', None)
    result = dict(changed=v7ctl.changed, options=after)
    if module._diff:
        result['diff'] = dict(before=before, after=after)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
